#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "src/CallbackArguments.h"
#include "src/CallbackFrame.h"
#include "src/CallbackMetaParser.h"

using nativio::CallbackArguments;
using nativio::CallbackFrame;
using nativio::CallbackMetaParser;

namespace {

struct MetaCase {
    const char* what;
    size_t slotBytes;
    std::vector<uint64_t> words;
    bool sound;
};

// Copies the arguments the record describes from a frame of known registers and stack; false
// for a record the dispatcher must refuse.
bool copies(const MetaCase& c, std::vector<uint8_t>& slots) {
    CallbackFrame frame{};
    for (int i = 0; i < CallbackFrame::kIntegerRegisters; ++i) {
        frame.integerRegisters[i] = 100 + i;
    }
    std::vector<uint8_t> stack(c.slotBytes + 8, 0x77);
    frame.stackArguments = stack.data();
    slots.assign(c.slotBytes, 0);
    CallbackMetaParser parser(reinterpret_cast<const uint8_t*>(c.words.data()), 8 * c.words.size(),
                              c.slotBytes);
    CallbackArguments arguments(frame, parser.returnKind() == 5);
    return parser.headerIsSound() && arguments.copy(parser, slots.data());
}

TEST(CallbackMetaParser, RefusesWhatDoesNotFitItsSlotsOrIsNoType) {
    const MetaCase cases[] = {
        {"two ints, int result", 16, {2, 1, 4, 1, 1}, true},
        {"no parameters, no result", 0, {0, 0, 0}, true},
        {"structure of two members", 16, {1, 2, 8, 6, 2, 1, 3}, true},
        {"memory block of 12 bytes takes 16", 16, {1, 5, 16, 5, 12}, true},
        {"more parameters than slots", 8, {2, 1, 4, 1, 1}, false},
        {"record shorter than its count", 16, {2, 1, 4, 1}, false},
        {"unknown parameter code", 8, {1, 1, 4, 9}, false},
        {"unknown return kind", 8, {1, 7, 4, 1}, false},
        {"integer result of 8 bytes", 8, {1, 1, 8, 1}, false},
        {"two-register result of 8 bytes", 8, {1, 11, 8, 1}, false},
        {"memory result of 0 bytes", 8, {1, 5, 0, 1}, false},
        {"empty memory block", 8, {1, 1, 4, 5, 0}, false},
        {"memory block longer than the slots", 16, {1, 1, 4, 5, 17}, false},
        {"empty structure", 8, {1, 1, 4, 6, 0}, false},
        {"structure member that is a block", 16, {1, 1, 4, 6, 1, 5}, false},
        {"structure member that is a structure", 16, {1, 1, 4, 6, 1, 6}, false},
        {"structure with more members than slots", 16, {1, 1, 4, 6, 3, 1, 1, 1}, false},
        {"a huge member count", 16, {1, 1, 4, 6, UINT64_MAX, 1}, false},
    };
    for (const MetaCase& c : cases) {
        std::vector<uint8_t> slots;
        EXPECT_EQ(copies(c, slots), c.sound) << c.what;
    }
}

TEST(CallbackArguments, StructureWithoutFreeRegistersComesFromTheStack) {
    // Five integers use five registers; the structure needs two integer eightbytes, finds one
    // free, and so lies on the stack, and the integer after it takes the sixth register.
    const MetaCase c = {
        "ints then a structure", 8 * 8, {7, 2, 8, 2, 2, 2, 2, 2, 6, 2, 2, 2, 2}, true};
    CallbackFrame frame{};
    for (int i = 0; i < CallbackFrame::kIntegerRegisters; ++i) {
        frame.integerRegisters[i] = 100 + i;
    }
    const uint64_t stack[2] = {7000, 8000};
    frame.stackArguments = reinterpret_cast<const uint8_t*>(stack);
    std::vector<uint64_t> slots(8, 0);
    CallbackMetaParser parser(reinterpret_cast<const uint8_t*>(c.words.data()), 8 * c.words.size(),
                              c.slotBytes);
    ASSERT_TRUE(
        CallbackArguments(frame, false).copy(parser, reinterpret_cast<uint8_t*>(slots.data())));
    EXPECT_EQ(slots, (std::vector<uint64_t>{100, 101, 102, 103, 104, 7000, 8000, 105}));
}

}  // namespace
