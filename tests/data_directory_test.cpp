// SPDX-License-Identifier: MIT
#include <variant>

#include <gtest/gtest.h>

#include "data/data_directory.h"
#include "test_support.h"

namespace quenrow {
namespace {

TEST(FindDataDirectory, TheLocalFolderFirstThenTheInstalledOne)
{
    test::TempDirectory root;
    const auto local = root.path() / "quenrow-data", installed = root.path() / "installed";
    const auto notAFolder = root.write("plain-file", "x");
    std::filesystem::create_directory(local);
    std::filesystem::create_directory(installed);
    const auto missing = root.path() / "missing";
    struct Case {
        std::filesystem::path local, installed;
        std::variant<std::filesystem::path, std::string> expected;
    };
    const Case cases[] = {
        {local, installed, local},
        {local, missing, local},
        {missing, installed, installed},
        {notAFolder, installed, installed},
        {missing, notAFolder,
         "No data folder: neither \"" + missing.string() + "\" nor \"" + notAFolder.string() +
             "\" exists."},
    };
    for (const auto &c : cases)
        EXPECT_EQ(findDataDirectory(c.local, c.installed), c.expected)
            << c.local << " " << c.installed;
}

TEST(FindDataDirectory, TheInstalledFolderIsTheBuildsDataFolder)
{
    EXPECT_EQ(installedDataDirectory().filename(), "quenrow-data");
    EXPECT_EQ(installedDataDirectory().parent_path().filename(), "quenrow");
    EXPECT_TRUE(installedDataDirectory().is_absolute());
}

} // namespace
} // namespace quenrow
