// SPDX-License-Identifier: MIT
// Quenrow tests: material files written on the fly, and warnings recorded
// instead of shown.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/material.h"

namespace quenrow::test {

// The bundled data directory (set by CTest; the repository copy otherwise).
// A table made or changed by a test, with its columns judged as a load would.
inline Material prepared(const MaterialTable &table, double density = 1)
{
    return prepareMaterial(table, density);
}

inline std::filesystem::path bundledDataDirectory()
{
    if (const char *dir = std::getenv("QUENROW_DATA_DIR"))
        return dir;
    return std::filesystem::path(__FILE__).parent_path().parent_path() / kDataDirectory;
}

inline std::string readBytes(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh directory under the system's temporary folder, removed at the end.
class TempDirectory {
public:
    TempDirectory()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quenrow-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDirectory(const TempDirectory &) = delete;
    TempDirectory &operator=(const TempDirectory &) = delete;

    const std::filesystem::path &path() const { return path_; }

    std::filesystem::path write(const std::string &name, const std::string &bytes) const
    {
        const auto file = path_ / name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

private:
    std::filesystem::path path_;
};

// The lines of a well-formed file, CR LF ended: title, name, density, three
// headings, then 132 rows whose energies rise from 0.001 to 10000 MeV.
struct MaterialText {
    std::string title = "PSTAR proton stopping powers and ranges (NISTIR 4999)";
    std::string name = "TEST MATERIAL";
    std::string density = "1";
    std::vector<std::string> headings{"Kinetic   Electr.", "Energy    Stp. Pow.", "MeV"};
    std::vector<std::string> rows;
    std::vector<std::string> trailing;
    std::string lineEnd = "\r\n";

    // Rows taken from a bundled file, so values are realistic.
    static MaterialText fromBundled(const std::string &fileName = "Water_liquid.psp")
    {
        MaterialText text;
        const std::string bytes = readBytes(bundledDataDirectory() / fileName);
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < bytes.size()) {
            std::size_t end = bytes.find("\r\n", start);
            if (end == std::string::npos)
                end = bytes.size();
            lines.push_back(bytes.substr(start, end - start));
            start = end + 2;
        }
        text.title = lines.at(0);
        text.name = lines.at(1);
        text.density = lines.at(2);
        text.headings = {lines.at(3), lines.at(4), lines.at(5)};
        text.rows.assign(lines.begin() + 6, lines.begin() + 6 + kRowCount);
        return text;
    }

    std::string str() const
    {
        std::string out = title + lineEnd + name + lineEnd + density + lineEnd;
        for (const auto &line : headings)
            out += line + lineEnd;
        for (const auto &line : rows)
            out += line + lineEnd;
        for (const auto &line : trailing)
            out += line + lineEnd;
        return out;
    }
};

} // namespace quenrow::test
