// vellisa-content <content-dir> <out-dir>: builds <out-dir>/data/data1.dat ... data4.dat and
// <out-dir>/skins/*.dat from the text sources in <content-dir>.
#include <iostream>

#include "builder.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: vellisa-content <content-dir> <out-dir>\n";
        return 2;
    }
    return vellisa::content::build(argv[1], argv[2], std::cerr);
}
