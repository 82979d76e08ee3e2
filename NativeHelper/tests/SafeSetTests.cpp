#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "DataStructures/ZedSafeSet.h"
#include "tests/LogCapture.h"

namespace {

TEST(ZedSafeSetTest, ReadersSeeWhatWritersDid) {
    auto set = ZedSafeSet::create();
    ASSERT_TRUE(set);
    set->addObject("b");
    set->addObject("a");
    set->addObject("a");
    EXPECT_EQ(set->count(), 2u);
    EXPECT_TRUE(set->containsObject("a"));
    EXPECT_FALSE(set->containsObject("c"));
    EXPECT_EQ(set->allObjects(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(set->description(), "{(a, b)}");

    set->unionSet({"c", "d"});
    set->minusSet({"a"});
    EXPECT_EQ(set->set(), (ZedSafeSet::Contents{"b", "c", "d"}));
    set->intersectSet({"c", "d", "e"});
    EXPECT_EQ(set->set(), (ZedSafeSet::Contents{"c", "d"}));
    set->removeObject("c");
    EXPECT_EQ(set->set(), (ZedSafeSet::Contents{"d"}));
    set->removeAllObjects();
    EXPECT_EQ(set->count(), 0u);
}

TEST(ZedSafeSetTest, BadArgumentsAreLoggedAndChangeNothing) {
    LogCapture::shared().clear();
    auto set = ZedSafeSet::create();
    set->addObject("kept");
    set->addObject(nullptr);
    set->removeObject(nullptr);
    EXPECT_FALSE(set->containsObject(nullptr));
    set->addObjects({});
    set->unionSet({});
    set->minusSet({});
    EXPECT_EQ(set->set(), (ZedSafeSet::Contents{"kept"}));
    EXPECT_TRUE(LogCapture::shared().contains("object is nil"));
    EXPECT_TRUE(LogCapture::shared().contains("objects is nil or empty"));
    EXPECT_TRUE(LogCapture::shared().contains("otherSet is nil or empty"));
    for (const auto& message : LogCapture::shared().messages()) {
        EXPECT_EQ(message.logContext, 1) << message.logMsg;  // "APP"
    }
}

TEST(ZedSafeSetTest, IntersectingWithAnEmptySetEmptiesIt) {
    auto set = ZedSafeSet::create();
    set->addObjects({"a", "b"});
    set->intersectSet({});
    EXPECT_EQ(set->count(), 0u);
}

TEST(ZedSafeSetTest, ConcurrentReadersAndWritersKeepTheSetConsistent) {
    auto set = ZedSafeSet::create();
    std::atomic<bool> inconsistent{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 300; ++i) {
                const std::string name = std::to_string(t) + "-" + std::to_string(i);
                set->addObject(name.c_str());
                if (!set->containsObject(name.c_str())) {
                    inconsistent = true;
                }
                if (i % 3 == 0) {
                    set->removeObject(name.c_str());
                }
            }
        });
    }
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 300; ++i) {
                const auto copy = set->set();
                if (copy.size() > 900 || set->allObjects().size() > 900) {
                    inconsistent = true;
                }
                set->count();
                set->description();
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_FALSE(inconsistent);
    EXPECT_EQ(set->count(), 600u);
}

}  // namespace
