// Build-machine helper for the Windows build: writes the plug-in property
// list from its one source (src/shell/property_list.cpp) into a binary file,
// and a resource script that embeds that file as the module's PIPL resource.
// It is compiled with the build machine's compiler, never shipped.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "shell/property_list.h"

int main(int argc, char **argv) {
    if (argc != 3) {
        std::cerr << "usage: write_property_list OUT.bin OUT.rc\n";
        return 2;
    }
    const std::string bin_path = argv[1];
    const auto bytes = zonara::PropertyListBytes();
    {
        std::ofstream bin(bin_path, std::ios::binary | std::ios::trunc);
        bin.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!bin.flush()) {
            std::cerr << "write_property_list: cannot write " << bin_path << "\n";
            return 1;
        }
    }
    // windres takes the language as primary and sub-language: 9, 1 is
    // English (United States), the 1033 hosts look the resource up under.
    const unsigned language = zonara::PROPERTY_LIST_LANGUAGE;
    std::ofstream rc(argv[2], std::ios::trunc);
    rc << "LANGUAGE " << (language & 0x3FFu) << ", " << (language >> 10) << "\n"
       << zonara::PROPERTY_LIST_RESOURCE_ID << " PIPL \"" << bin_path << "\"\n";
    if (!rc.flush()) {
        std::cerr << "write_property_list: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
