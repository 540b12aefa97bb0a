// SPDX-License-Identifier: MIT
// The preview's read of any file: the name line and the density.
#include <cmath>
#include <variant>

#include "data/material.h"
#include "fuzz_support.h"
#include "read_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace quenrow;
    static fuzz::InputFile file;
    const std::string &path = file.write(fuzz::fileBytes(data, size));
    const auto header = readMaterialHeader(path);
    if (const auto *error = std::get_if<ReadError>(&header)) {
        fuzz::checkError(*error, path);
        return 0;
    }
    const auto &[name, density] = std::get<MaterialHeader>(header);
    FUZZ_CHECK(name.size() <= kMaxLineLength);
    FUZZ_CHECK(name.find_first_of("\r\n") == std::string::npos);
    FUZZ_CHECK(std::isfinite(density));
    return 0;
}
