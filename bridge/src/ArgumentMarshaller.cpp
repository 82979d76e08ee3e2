#include "src/ArgumentMarshaller.h"

#include <cstring>

#include "src/StructureLayout.h"

namespace nativio {

namespace {

template <typename Narrow>
uint64_t signExtended(const uint8_t* data) {
    Narrow value;
    std::memcpy(&value, data, sizeof(value));
    return static_cast<uint64_t>(static_cast<int64_t>(value));
}

}  // namespace

ArgumentMarshaller::ArgumentMarshaller(ArgumentBlockParser& parser, CallFrameBuilder& builder)
    : parser_(parser), builder_(builder) {}

bool ArgumentMarshaller::marshal() {
    ArgumentEntry entry{};
    for (;;) {
        switch (parser_.next(entry)) {
            case ArgumentBlockParser::Step::kEnd:
                builder_.finish();
                return true;
            case ArgumentBlockParser::Step::kMalformed:
                return false;
            case ArgumentBlockParser::Step::kEntry:
                break;
        }
        const bool added =
            entry.code == EntryCode::kStructure ? addStructure(entry.length) : addScalar(entry);
        if (!added) {
            return false;
        }
    }
}

bool ArgumentMarshaller::addScalar(const ArgumentEntry& entry) {
    uint64_t raw = 0;
    switch (entry.code) {
        case EntryCode::kPointer:
        case EntryCode::kInt64:
            std::memcpy(&raw, entry.data, sizeof(raw));
            return builder_.addInteger(raw);
        case EntryCode::kInt32:
            return builder_.addInteger(signExtended<int32_t>(entry.data));
        case EntryCode::kInt16:
            return builder_.addInteger(signExtended<int16_t>(entry.data));
        case EntryCode::kInt8:
            return builder_.addInteger(signExtended<int8_t>(entry.data));
        case EntryCode::kFloat:
            std::memcpy(&raw, entry.data, sizeof(float));
            return builder_.addVector(raw);
        case EntryCode::kDouble:
            std::memcpy(&raw, entry.data, sizeof(raw));
            return builder_.addVector(raw);
        case EntryCode::kMemory:
            return builder_.addStackBytes(entry.data, entry.length);
        case EntryCode::kStructure:
            break;
    }
    return false;
}

// A structure is walked twice: once to learn its size and eightbyte classes, which decide
// between registers and the stack, and once to copy the members into place. When its
// eightbytes do not all find a free register, the whole structure goes to the stack and the
// registers stay free for later arguments.
bool ArgumentMarshaller::addStructure(uint64_t memberCount) {
    ArgumentBlockParser survey = parser_;
    StructureLayout layout;
    ArgumentEntry member{};
    for (uint64_t i = 0; i < memberCount; ++i) {
        if (survey.next(member) != ArgumentBlockParser::Step::kEntry ||
            layout.place(member.code) < 0) {
            return false;
        }
    }
    size_t vectorEightbytes = 0;
    for (size_t i = 0; i < layout.eightbyteCount() && i < 2; ++i) {
        vectorEightbytes += layout.isVectorEightbyte(i) ? 1 : 0;
    }
    const bool inRegisters =
        layout.fitsInRegisters() && builder_.freeVectorRegisters(vectorEightbytes) &&
        builder_.freeIntegerRegisters(layout.eightbyteCount() - vectorEightbytes);

    alignas(8) uint8_t registerImage[StructureLayout::kRegisterLimit] = {};
    uint8_t* image = inRegisters ? registerImage : builder_.reserveStack(layout.size());
    if (image == nullptr) {
        return false;
    }
    StructureLayout placement;
    for (uint64_t i = 0; i < memberCount; ++i) {
        parser_.next(member);
        std::memcpy(image + placement.place(member.code), member.data,
                    StructureLayout::memberSize(member.code));
    }
    if (!inRegisters) {
        return true;
    }
    for (size_t i = 0; i < layout.eightbyteCount(); ++i) {
        uint64_t eightbyte = 0;
        std::memcpy(&eightbyte, registerImage + 8 * i, sizeof(eightbyte));
        if (layout.isVectorEightbyte(i)) {
            builder_.addVector(eightbyte);
        } else {
            builder_.addInteger(eightbyte);
        }
    }
    return true;
}

}  // namespace nativio
