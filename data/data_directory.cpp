// SPDX-License-Identifier: MIT
#include "data_directory.h"

#include <system_error>

#ifndef QUENROW_INSTALLED_DATA_DIRECTORY
#define QUENROW_INSTALLED_DATA_DIRECTORY "/usr/share/quenrow/quenrow-data"
#endif

namespace quenrow {

std::filesystem::path installedDataDirectory()
{
    return QUENROW_INSTALLED_DATA_DIRECTORY;
}

std::variant<std::filesystem::path, std::string>
findDataDirectory(const std::filesystem::path &local, const std::filesystem::path &installed)
{
    std::error_code error;
    if (std::filesystem::is_directory(local, error))
        return local;
    if (std::filesystem::is_directory(installed, error))
        return installed;
    const auto shown = std::filesystem::absolute(local, error);
    return "No data folder: neither \"" + (error ? local : shown).string() + "\" nor \"" +
           installed.string() + "\" exists.";
}

} // namespace quenrow
