#include "common/ProgramFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace isotri {
namespace {

// The tests run from the build tree's bin folder, beside default.so, with the test modules in
// ../testmodules.
TEST(FindProgramFile, BesideTheProgramFirstThenTheInstalledFolder) {
    const std::string bin = ProgramFolder();
    ASSERT_FALSE(bin.empty());
    ASSERT_EQ(bin.back(), '/');
    struct Case {
        const char* name;
        const char* folder;
        std::string expected;
    };
    const Case cases[] = {
        {"default.so", "../testmodules", bin + "default.so"},
        {"c_module.so", "../testmodules", bin + "../testmodules/c_module.so"},
        {"c_module.so", "../nowhere", ""},
        {"missing.so", "../testmodules", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " in " + c.folder);
        EXPECT_EQ(FindProgramFile(c.name, c.folder), c.expected);
    }
}

// Relative to bin, so the installed tree may be moved as a whole.
TEST(FindProgramFile, InstalledFoldersAreRelativeToBin) {
    for (const std::string folder : {kInstalledModuleFolder, kInstalledDocFolder}) {
        EXPECT_EQ(folder.rfind("../", 0), 0u) << folder;
    }
}

}  // namespace
}  // namespace isotri
