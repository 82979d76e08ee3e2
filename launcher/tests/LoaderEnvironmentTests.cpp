#include <gtest/gtest.h>

#include <string>

#include "platform/LoaderEnvironment.h"
#include "tests/RuntimeFixture.h"

namespace {

TEST(LoaderEnvironmentTest, OnlyFoldersHoldingAJavaVmLeaveTheSearchPath) {
    RuntimeFixture fixture;
    const std::string vm = fixture.createForeignVmFolder();
    const std::string plain = fixture.home();
    const struct {
        std::string searchPath;
        std::string kept;
    } cases[] = {
        {"", ""},
        {vm, ""},
        {vm + "/", ""},
        {vm + ":" + vm, ""},
        {plain, plain},
        {vm + ":" + plain, plain},
        {plain + ":" + vm + ":/nonexistent", plain + ":/nonexistent"},
        {plain + "::" + vm + ":", plain + "::"},
        {vm + "::" + plain, ":" + plain},
    };
    for (const auto& [searchPath, kept] : cases) {
        EXPECT_EQ(withoutJavaVmFolders(searchPath), kept) << searchPath;
    }
}

}  // namespace
