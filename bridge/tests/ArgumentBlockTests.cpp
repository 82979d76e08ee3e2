#include <gtest/gtest.h>

#include <cstdarg>
#include <cstring>

#include "src/ArgumentBlockParser.h"
#include "src/NativeInvoker.h"
#include "src/ReturnClassifier.h"
#include "src/StructureLayout.h"
#include "tests/BlockBuilder.h"

using nativio::ArgumentBlockParser;
using nativio::ArgumentEntry;
using nativio::EntryCode;
using nativio::NativeInvoker;
using nativio::ReturnClassifier;
using nativio::ReturnKind;
using nativio::StructureLayout;

namespace {

extern "C" long weighted3(long a, long b, long c) {
    return a + 2 * b + 3 * c;
}

extern "C" double sumVariadic(int count, ...) {
    va_list args;
    va_start(args, count);
    double sum = 0;
    for (int i = 0; i < count; ++i) {
        sum += va_arg(args, double);
    }
    va_end(args);
    return sum;
}

int callCount = 0;
extern "C" int counted() {
    return ++callCount;
}

uint64_t bits(double value) {
    uint64_t raw;
    std::memcpy(&raw, &value, sizeof(raw));
    return raw;
}

template <typename T>
T resultOf(const std::vector<uint8_t>& block) {
    T value{};
    std::memcpy(&value, block.data(), sizeof(value));
    return value;
}

NativeInvoker::Status invoke(const void* function, std::vector<uint8_t>& block, size_t size,
                             size_t returnSize, uint32_t flags = 0) {
    return NativeInvoker(function, block.data(), size, returnSize, flags).invoke();
}

}  // namespace

TEST(ArgumentBlockParser, EveryTruncationOfAValidBlockIsRefused) {
    const std::vector<uint8_t> block =
        BlockBuilder(4).entry(1, 7).memory({1, 2, 3}).entry(6, 1).entry(4, bits(1.5)).build();
    for (size_t size = 0; size < block.size(); ++size) {
        ArgumentBlockParser parser(block.data(), size, 4);
        ArgumentEntry entry{};
        ArgumentBlockParser::Step step;
        while ((step = parser.next(entry)) == ArgumentBlockParser::Step::kEntry) {
        }
        EXPECT_EQ(step, ArgumentBlockParser::Step::kMalformed) << "size " << size;
    }
    ArgumentBlockParser whole(block.data(), block.size(), 4);
    ArgumentEntry entry{};
    ASSERT_EQ(whole.next(entry), ArgumentBlockParser::Step::kEntry);
    EXPECT_EQ(entry.code, EntryCode::kInt32);
    ASSERT_EQ(whole.next(entry), ArgumentBlockParser::Step::kEntry);
    EXPECT_EQ(entry.code, EntryCode::kMemory);
    EXPECT_EQ(entry.length, 3u);
    EXPECT_EQ(entry.data[2], 3);
    ASSERT_EQ(whole.next(entry), ArgumentBlockParser::Step::kEntry);
    EXPECT_EQ(entry.code, EntryCode::kStructure);
    EXPECT_EQ(entry.length, 1u);
    ASSERT_EQ(whole.next(entry), ArgumentBlockParser::Step::kEntry);
    EXPECT_EQ(whole.next(entry), ArgumentBlockParser::Step::kEnd);
}

TEST(ArgumentBlockParser, RefusesReturnAreaBeyondBlockAndHugeLengths) {
    const std::vector<uint8_t> block = BlockBuilder(0).entry(5, UINT64_MAX).build();
    ArgumentEntry entry{};
    EXPECT_EQ(ArgumentBlockParser(block.data(), block.size(), 0).next(entry),
              ArgumentBlockParser::Step::kMalformed);
    EXPECT_EQ(ArgumentBlockParser(block.data(), block.size(), block.size() + 1).next(entry),
              ArgumentBlockParser::Step::kMalformed);
}

TEST(StructureLayout, PlacesMembersAtTheirNaturalAlignmentAndClassifiesEightbytes) {
    StructureLayout charInt;
    EXPECT_EQ(charInt.place(EntryCode::kInt8), 0);
    EXPECT_EQ(charInt.place(EntryCode::kInt32), 4);
    EXPECT_EQ(charInt.size(), 8u);
    EXPECT_FALSE(charInt.isVectorEightbyte(0));

    StructureLayout twoFloats;
    twoFloats.place(EntryCode::kFloat);
    EXPECT_EQ(twoFloats.place(EntryCode::kFloat), 4);
    EXPECT_EQ(twoFloats.eightbyteCount(), 1u);
    EXPECT_TRUE(twoFloats.isVectorEightbyte(0));

    StructureLayout doubleChar;
    doubleChar.place(EntryCode::kDouble);
    doubleChar.place(EntryCode::kInt8);
    EXPECT_EQ(doubleChar.size(), 16u);
    EXPECT_TRUE(doubleChar.isVectorEightbyte(0));
    EXPECT_FALSE(doubleChar.isVectorEightbyte(1));

    StructureLayout threeLongs;
    for (int i = 0; i < 3; ++i) {
        threeLongs.place(EntryCode::kInt64);
    }
    EXPECT_FALSE(threeLongs.fitsInRegisters());

    StructureLayout nested;
    EXPECT_EQ(nested.place(EntryCode::kStructure), -1);
    EXPECT_EQ(nested.place(EntryCode::kMemory), -1);
}

TEST(ReturnClassifier, FollowsTheFlagTableInOrder) {
    EXPECT_EQ(ReturnClassifier(16, 8 | 16 | 64).kind(), ReturnKind::kVectorInteger);
    EXPECT_EQ(ReturnClassifier(16, 8 | 32).kind(), ReturnKind::kIntegerVector);
    EXPECT_EQ(ReturnClassifier(16, 8 | 64).kind(), ReturnKind::kVectorVector);
    EXPECT_EQ(ReturnClassifier(16, 8 | 128).kind(), ReturnKind::kIntegerInteger);
    EXPECT_EQ(ReturnClassifier(8, 8 | 1).kind(), ReturnKind::kDouble);
    EXPECT_EQ(ReturnClassifier(8, 8).kind(), ReturnKind::kEightbyte);
    EXPECT_EQ(ReturnClassifier(4, 1).kind(), ReturnKind::kFloat);
    EXPECT_EQ(ReturnClassifier(8, 1).kind(), ReturnKind::kDouble);
    EXPECT_EQ(ReturnClassifier(9, 0).kind(), ReturnKind::kMemory);
    EXPECT_EQ(ReturnClassifier(4, 2).kind(), ReturnKind::kMemory);
    EXPECT_EQ(ReturnClassifier(8, 0).kind(), ReturnKind::kEightbyte);
    EXPECT_EQ(ReturnClassifier(4, 0).kind(), ReturnKind::kInteger);
    EXPECT_EQ(ReturnClassifier(0, 0).kind(), ReturnKind::kInteger);
}

TEST(ReturnClassifier, NeverWritesPastTheReturnSize) {
    nativio::NativeCallFrame frame{};
    frame.rax = 0x1122334455667788;
    frame.rdx = 0x99aabbccddeeff00;
    uint8_t area[17];
    std::memset(area, 0xee, sizeof(area));
    ReturnClassifier(2, 8 | 128).store(frame, area);
    EXPECT_EQ(area[0], 0x88);
    EXPECT_EQ(area[1], 0x77);
    EXPECT_EQ(area[2], 0xee);
    ReturnClassifier(2, 4).store(frame, area);
    EXPECT_EQ(area[2], 0xee);
    std::memset(area, 0xee, sizeof(area));
    ReturnClassifier(1, 4).store(frame, area);
    EXPECT_EQ(area[1], 0xee);
    ReturnClassifier(16, 8 | 128).store(frame, area);
    EXPECT_EQ(area[8], 0x00);
    EXPECT_EQ(area[15], 0x99);
    EXPECT_EQ(area[16], 0xee);
}

TEST(NativeInvoker, PassesIntegersAndSetsTheVectorCountForVariadicCallees) {
    std::vector<uint8_t> block = BlockBuilder(8).entry(2, 1).entry(1, 2).entry(0, 3).build();
    ASSERT_EQ(invoke(reinterpret_cast<const void*>(&weighted3), block, block.size(), 8),
              NativeInvoker::Status::kDone);
    EXPECT_EQ(resultOf<long>(block), 14);

    std::vector<uint8_t> variadic = BlockBuilder(8)
                                        .entry(1, 3)
                                        .entry(4, bits(0.5))
                                        .entry(4, bits(1.25))
                                        .entry(4, bits(-4))
                                        .build();
    ASSERT_EQ(invoke(reinterpret_cast<const void*>(&sumVariadic), variadic, variadic.size(), 8, 1),
              NativeInvoker::Status::kDone);
    EXPECT_EQ(resultOf<double>(variadic), -2.25);
}

TEST(NativeInvoker, RefusesBeforeCallingAndChecksTheAddressAfterTheBlock) {
    callCount = 0;
    std::vector<uint8_t> block = BlockBuilder(4).entry(1, 1).build();
    EXPECT_EQ(invoke(reinterpret_cast<const void*>(&counted), block, block.size() - 1, 4),
              NativeInvoker::Status::kMalformed);
    EXPECT_EQ(invoke(nullptr, block, block.size() - 1, 4), NativeInvoker::Status::kMalformed);
    EXPECT_EQ(invoke(nullptr, block, block.size(), 4), NativeInvoker::Status::kNullAddress);

    std::vector<uint8_t> tooBig =
        BlockBuilder(4).memory(std::vector<uint8_t>(NativeInvoker::kStackAreaSize + 1)).build();
    EXPECT_EQ(invoke(reinterpret_cast<const void*>(&counted), tooBig, tooBig.size(), 4),
              NativeInvoker::Status::kMalformed);
    std::vector<uint8_t> fits =
        BlockBuilder(4).memory(std::vector<uint8_t>(NativeInvoker::kStackAreaSize)).build();
    EXPECT_EQ(invoke(reinterpret_cast<const void*>(&counted), fits, fits.size(), 4),
              NativeInvoker::Status::kDone);
    EXPECT_EQ(callCount, 1);
}
