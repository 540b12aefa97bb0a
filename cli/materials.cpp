// SPDX-License-Identifier: MIT
#include "materials.h"

#include <cctype>

#include "cli/safe_text.h"
#include "cli/suggest.h"
#include "data/material_directory.h"
#include "data/material.h"

namespace fs = std::filesystem;

namespace quenrow::cli {

namespace {

struct Candidate {
    fs::path file;
    std::string fileName;
    std::string name;
};

std::string lower(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The folder's materials whose header reads; files that do not read are
// left out here (--list names them).
std::vector<Candidate> candidates(const fs::path &folder, const std::vector<std::string> &files)
{
    std::vector<Candidate> all;
    for (const std::string &fileName : files) {
        const auto header = readMaterialHeader(materialPath(folder, fileName));
        if (const auto *material = std::get_if<MaterialHeader>(&header))
            all.push_back({materialPath(folder, fileName), fileName, trimmed(material->name)});
    }
    return all;
}

bool isExactly(const Candidate &material, const std::string &wanted)
{
    return !wanted.empty() && (lower(material.name) == wanted ||
                               lower(fs::path(material.fileName).stem().string()) == wanted ||
                               lower(material.fileName) == wanted);
}

std::string noMatch(const std::string &query, const fs::path &folder,
                    const std::vector<std::string> &files)
{
    std::string message =
        "No material in \"" + showable(folder.string()) + "\" matches " + quotedToken(query) + ".";
    const auto close = closestNames(query, files);
    for (std::size_t i = 0; i < close.size(); ++i) {
        const bool last = i + 1 == close.size();
        message += (i == 0 ? " Did you mean " : last ? " or " : ", ") + showable(close[i]);
    }
    if (!close.empty())
        message += "?";
    return message + " quenrow-lookup --list shows all " + std::to_string(files.size()) + ".";
}

} // namespace

std::variant<std::vector<std::string>, std::string> materialFiles(const fs::path &folder)
{
    auto listing = listDirectoryFiles(folder);
    if (auto *reason = std::get_if<std::string>(&listing))
        return "Cannot read the data folder \"" + showable(folder.string()) +
               "\": " + showable(*reason) + ".";
    return materialFileNames(std::get<std::vector<std::string>>(listing));
}

std::variant<fs::path, std::string> resolveMaterial(const std::string &query,
                                                    const DataFolder &directory)
{
    std::error_code error;
    const auto *folder = std::get_if<fs::path>(&directory);
    if (folder && query.find('/') == std::string::npos &&
        fs::is_regular_file(materialPath(*folder, query), error))
        return materialPath(*folder, query);
    if (fs::is_regular_file(query, error))
        return fs::path(query);
    if (!folder)
        return "No file " + quotedToken(query) + ", and no data folder to look it up in. " +
               std::get<std::string>(directory);

    const auto listing = materialFiles(*folder);
    if (const auto *problem = std::get_if<std::string>(&listing))
        return *problem;
    const auto &files = std::get<std::vector<std::string>>(listing);
    const std::string wanted = lower(trimmed(query));
    std::vector<Candidate> matches;
    for (Candidate &material : candidates(*folder, files)) {
        if (isExactly(material, wanted))
            return material.file; // an exact name wins over the names that contain it
        if (!wanted.empty() && lower(material.name).find(wanted) != std::string::npos)
            matches.push_back(std::move(material));
    }
    if (matches.size() == 1)
        return matches.front().file;
    if (matches.empty())
        return noMatch(query, *folder, files);
    std::string message = quotedToken(query) + " matches " + std::to_string(matches.size()) +
                          " materials; name one of them:";
    for (const Candidate &material : matches)
        message += "\n  " + showable(material.fileName) + "  " + showable(material.name);
    return message;
}

bool namesMaterialExactly(const std::string &text, const DataFolder &directory)
{
    const auto *folder = std::get_if<fs::path>(&directory);
    if (!folder)
        return false;
    const auto listing = materialFiles(*folder);
    if (!std::holds_alternative<std::vector<std::string>>(listing))
        return false;
    const std::string wanted = lower(trimmed(text));
    for (const Candidate &material :
         candidates(*folder, std::get<std::vector<std::string>>(listing)))
        if (isExactly(material, wanted))
            return true;
    return false;
}

} // namespace quenrow::cli
