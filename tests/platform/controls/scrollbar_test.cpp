#include "support/user_fixture.h"
