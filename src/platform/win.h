#pragma once
// The whole platform API: our own implementation of the Windows services the program uses.
#include "platform/base/clock.h"
#include "platform/base/error.h"
#include "platform/base/geometry.h"
#include "platform/base/handles.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/region.h"
