// SPDX-License-Identifier: MIT
#include "material_directory.h"

#include <algorithm>
#include <cctype>

namespace quenrow {

namespace {

char lower(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool endsWithIgnoringCase(std::string_view name, std::string_view suffix)
{
    return name.size() > suffix.size() &&
           std::equal(suffix.rbegin(), suffix.rend(), name.rbegin(),
                      [](char a, char b) { return lower(a) == lower(b); });
}

bool lessIgnoringCase(const std::string &a, const std::string &b)
{
    const bool less = std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return lower(x) < lower(y); });
    const bool greater = std::lexicographical_compare(
        b.begin(), b.end(), a.begin(), a.end(), [](char x, char y) { return lower(x) < lower(y); });
    return less || (!greater && a < b);
}

} // namespace

std::variant<std::vector<std::string>, std::string>
listDirectoryFiles(const std::filesystem::path &directory)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator it(directory, error);
    if (error)
        return error.message();
    std::vector<std::string> names;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            return error.message();
        std::error_code statError;
        // A link that leads nowhere is still listed: opening it says what is wrong.
        if (!it->is_directory(statError))
            names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end(), lessIgnoringCase);
    return names;
}

std::vector<std::string> materialFileNames(const std::vector<std::string> &names)
{
    std::vector<std::string> files = withExtension(names, kElementExtension);
    const auto compounds = withExtension(names, kCompoundExtension);
    files.insert(files.end(), compounds.begin(), compounds.end());
    return files;
}

std::vector<std::string> withExtension(const std::vector<std::string> &names,
                                       std::string_view extension)
{
    std::vector<std::string> matching;
    for (const std::string &name : names)
        if (endsWithIgnoringCase(name, extension))
            matching.push_back(name);
    return matching;
}

} // namespace quenrow
