// make-demo-prefix FOLDER: creates a Wine-style prefix with demo product
// installations, for trying the patch out (WINEPREFIX=FOLDER).

#include "demo_prefix.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make-demo-prefix FOLDER\n"
                     "Creates a Wine-style prefix holding demo product databases in FOLDER,\n"
                     "which must not exist yet or be empty.\n";
        return 2;
    }
    try {
        for (const demo::InstalledFile& file : demo::makeDemoPrefix(argv[1]))
            std::cout << file.directory << "\\" << file.fileName << "\n";
    } catch (const std::exception& e) {
        std::cerr << "make-demo-prefix: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
