#include <gtest/gtest.h>

#include "platform/RuntimeLayout.h"

namespace {

TEST(RuntimeLayoutTest, RootUsesTheSystemWideRuntime) {
    EXPECT_EQ(RuntimeLayout::bundledRuntimeLibrary(0, "/home/someone"),
              "/opt/vaultor/lib/runtime/lib/libjli.so");
    EXPECT_EQ(RuntimeLayout::bundledRuntimeLibrary(0, std::nullopt),
              "/opt/vaultor/lib/runtime/lib/libjli.so");
}

TEST(RuntimeLayoutTest, AnyOtherUserUsesTheRuntimeUnderTheHomeFolder) {
    EXPECT_EQ(RuntimeLayout::bundledRuntimeLibrary(1000, "/home/someone"),
              "/home/someone/.local/opt/vaultor/lib/runtime/lib/libjli.so");
    EXPECT_EQ(RuntimeLayout::bundledRuntimeLibrary(65534, "/home/someone/"),
              "/home/someone/.local/opt/vaultor/lib/runtime/lib/libjli.so");
    EXPECT_EQ(RuntimeLayout::bundledRuntimeLibrary(1, "/"),
              "/.local/opt/vaultor/lib/runtime/lib/libjli.so");
}

TEST(RuntimeLayoutTest, UnknownHomeFolderLeavesNoPlaceToLook) {
    EXPECT_EQ(RuntimeLayout::bundledRuntimeLibrary(1000, std::nullopt), std::nullopt);
    EXPECT_EQ(RuntimeLayout::bundledRuntimeLibrary(1000, ""), std::nullopt);
}

}  // namespace
