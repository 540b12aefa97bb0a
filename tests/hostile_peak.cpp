// SPDX-License-Identifier: MIT
// Previews and loads each file given, as the main window does, and says what
// happened: a small program whose peak memory /usr/bin/time -v can report.
#include <cstdio>
#include <variant>

#include "data/material.h"

int main(int argc, char **argv)
{
    using namespace quenrow;
    for (int i = 1; i < argc; ++i) {
        const auto header = readMaterialHeader(argv[i]);
        const auto loaded = loadMaterial(argv[i]);
        if (const auto *error = std::get_if<ReadError>(&header))
            std::printf("preview: %s\n", describe(*error).c_str());
        else
            std::printf("preview: %s\n", std::get<MaterialHeader>(header).name.c_str());
        if (const auto *error = std::get_if<ReadError>(&loaded))
            std::printf("load: %s\n", describe(*error).c_str());
        else
            std::printf("load: %s, 132 rows\n", std::get<MaterialPtr>(loaded)->table.name.c_str());
    }
    return 0;
}
