#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "Categories/ZedCStringArray.h"
#include "Categories/ZedFunctionalUtilities.h"
#include "Categories/ZedPathComponents.h"
#include "Categories/ZedUTF8.h"
#include "Categories/ZedUnixTimeInMS.h"
#include "include/vtnative.h"
#include "tests/LogCapture.h"

namespace {

using namespace ZedFunctionalUtilities;

TEST(CStringArrayTest, NullEntriesAndBadTextAreSkipped) {
    LogCapture::shared().clear();
    const char* entries[] = {"a", nullptr, "b", "\xC3\x28", "\xE2\x82\xAC"};
    EXPECT_EQ(ZedCStringArray::arrayOfStringsWithCStrings(entries, 3),
              (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(ZedCStringArray::arrayOfStringsWithCStrings(entries, 5),
              (std::vector<std::string>{"a", "b", "\xE2\x82\xAC"}));
    EXPECT_TRUE(
        LogCapture::shared().contains("unable to create string from char array: (\xC3\x28)"));
    EXPECT_TRUE(ZedCStringArray::arrayOfStringsWithCStrings(nullptr, 3).empty());
    EXPECT_TRUE(ZedCStringArray::arrayOfStringsWithCStrings(entries, 0).empty());
    EXPECT_TRUE(ZedCStringArray::arrayOfStringsWithCStrings(entries, -4).empty());
}

TEST(CStringArrayTest, NullTerminatedCopies) {
    char** empty = ZedCStringArray::toNullTerminatedArrayOfCStrings({});
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty[0], nullptr);
    zed_free_cstring_array(empty, 0);

    char** copies = ZedCStringArray::toNullTerminatedArrayOfCStrings({"one", "", "three"});
    ASSERT_NE(copies, nullptr);
    EXPECT_STREQ(copies[0], "one");
    EXPECT_STREQ(copies[1], "");
    EXPECT_STREQ(copies[2], "three");
    EXPECT_EQ(copies[3], nullptr);
    zed_free_cstring_array(copies, 3);
    zed_free_cstring_array(nullptr, 3);
}

TEST(UTF8Test, RejectsMalformedSequences) {
    EXPECT_TRUE(ZedUTF8::isValid("plain"));
    EXPECT_TRUE(ZedUTF8::isValid("\xF0\x9F\x98\x80"));
    EXPECT_FALSE(ZedUTF8::isValid("\x80"));
    EXPECT_FALSE(ZedUTF8::isValid("\xC0\xAF"));          // overlong "/"
    EXPECT_FALSE(ZedUTF8::isValid("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(ZedUTF8::isValid("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(ZedUTF8::isValid("\xE2\x82"));          // cut short
}

TEST(PathComponents, ComponentsAndJoins) {
    struct Split {
        std::string path, last, parent;
    };
    for (const Split& split : std::vector<Split>{
             {"/a/b/c.cpp", "c.cpp", "/a/b"},
             {"/media/USB/", "USB", "/media/USB"},
             {"/top", "top", "/"},
             {"/", "/", "/"},
             {"name", "name", "/"},
             {"", "", "/"},
         }) {
        EXPECT_EQ(ZedPathComponents::lastComponent(split.path), split.last) << split.path;
        EXPECT_EQ(ZedPathComponents::parentOf(split.path), split.parent) << split.path;
    }
    struct Join {
        std::string directory, name, path;
    };
    for (const Join& join : std::vector<Join>{
             {"/a", "b", "/a/b"},
             {"/", "b", "/b"},
             {"/a/", "b", "/a/b"},
             {"/a", "", "/a"},
             {"/a", ".", "/a"},
             {"/a", "b/c", "/a/b/c"},
             {"", "/top", "/top"},
         }) {
        EXPECT_EQ(ZedPathComponents::joined(join.directory, join.name), join.path)
            << join.directory << " + " << join.name;
        std::string appended = join.directory;
        ZedPathComponents::append(appended, join.name);
        EXPECT_EQ(appended, join.path) << join.directory << " + " << join.name;
    }
    EXPECT_EQ(ZedPathComponents::normalized("/a/b//"), "/a/b");
    EXPECT_EQ(ZedPathComponents::normalized("///"), "/");
}

TEST(PathComponents, TreesHoldTheirDescendantsOnly) {
    struct Pair {
        std::string root, path;
        bool contains, below, underOrAbove;
    };
    for (const Pair& pair : std::vector<Pair>{
             {"/a", "/a", true, false, true},
             {"/a", "/a/b/c", true, true, true},
             {"/a", "/ab", false, false, false},
             {"/a/b", "/a", false, false, true},
             {"/", "/x", true, true, true},
             {"/", "/", true, false, true},
             {"", "/x", false, false, false},
             {"/media/", "/media/USB", true, true, true},
             {"/media/", "/media/", true, false, true},
             {"/media/", "/media", false, false, true},
         }) {
        const std::string both = pair.root + " ~ " + pair.path;
        EXPECT_EQ(ZedPathComponents::contains(pair.root, pair.path), pair.contains) << both;
        EXPECT_EQ(ZedPathComponents::isBelow(pair.root, pair.path), pair.below) << both;
        EXPECT_EQ(ZedPathComponents::isUnderOrAbove(pair.path, pair.root), pair.underOrAbove)
            << both;
    }
    EXPECT_EQ(ZedPathComponents::rebased("/real/a/b", "/real", "/link"), "/link/a/b");
    EXPECT_EQ(ZedPathComponents::rebased("/real", "/real", "/link"), "/link");
    EXPECT_EQ(ZedPathComponents::rebased("/a/b", "/", "/link"), "/link/a/b");
    EXPECT_EQ(ZedPathComponents::rebased("/r/a", "/r", "/"), "/a");
}

TEST(UnixTimeInMSTest, Conversions) {
    using namespace ZedUnixTimeInMS;
    const Date date = Date(std::chrono::milliseconds(1234567890123));
    EXPECT_EQ(unixTimeInMSFromDate(date), 1234567890123);
    EXPECT_EQ(unixTimeInMSFromDate(dateFromUnixTimeInMS(1234567890123)), 1234567890123);
    EXPECT_EQ(unixTimeInMSFromTimeIntervalSinceReferenceDate(0.0), 978307200000);
    EXPECT_EQ(unixTimeInMSFromTimeIntervalSinceReferenceDate(1.5), 978307201500);
    EXPECT_GT(unixTimeInMS(), 1600000000000);
}

TEST(FunctionalUtilitiesTest, ListTools) {
    const std::vector<int> numbers{1, 2, 3, 4, 5};
    EXPECT_EQ(mapUsingBlock(numbers, [](int n) { return n * 10; }),
              (std::vector<int>{10, 20, 30, 40, 50}));
    EXPECT_EQ(where(numbers, [](int n) { return n % 2 == 1; }), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(firstObjectWhere(numbers, [](int n) { return n > 3; }), 4);
    EXPECT_FALSE(firstObjectWhere(numbers, [](int n) { return n > 9; }));
    EXPECT_EQ(takeWhile(numbers, [](int n) { return n < 3; }), (std::vector<int>{1, 2}));
    EXPECT_EQ(arrayByRemovingObject(numbers, 3), (std::vector<int>{1, 2, 4, 5}));
    EXPECT_EQ(arrayByRemovingObjectsInArray(numbers, {1, 5}), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(safeRangeForRange(5, {3, 10}), (Range{3, 2}));
    EXPECT_EQ(safeRangeForRange(0, {3, 10}), (Range{0, 0}));
    EXPECT_EQ(subarrayWithRangeSafe(numbers, {4, 3}), (std::vector<int>{5}));
    EXPECT_EQ(chunkWithChunkSize(numbers, 2), (std::vector<std::vector<int>>{{1, 2}, {3, 4}, {5}}));
    EXPECT_TRUE(chunkWithChunkSize(numbers, 0).empty());
    EXPECT_EQ(arrayByReversing(numbers), (std::vector<int>{5, 4, 3, 2, 1}));
    EXPECT_EQ(arrayByFlattening(std::vector<std::vector<int>>{{1}, {}, {2, 3}}),
              (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(uniqueObjects(std::vector<int>{3, 1, 3, 1}).size(), 2u);
    const auto groups = groupByKey(numbers, [](int n) { return n % 2; });
    EXPECT_EQ(groups.at(0), (std::vector<int>{2, 4}));
    EXPECT_EQ(groups.at(1), (std::vector<int>{1, 3, 5}));
}

}  // namespace
