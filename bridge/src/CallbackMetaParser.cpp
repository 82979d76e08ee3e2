#include "src/CallbackMetaParser.h"

#include <cstring>

#include "src/ReturnClassifier.h"
#include "src/StructureLayout.h"

namespace nativio {

CallbackMetaParser::CallbackMetaParser(const uint8_t* record, size_t recordBytes, size_t slotBytes)
    : record_(record), recordBytes_(recordBytes), slotBytes_(slotBytes) {
    uint64_t count = 0;
    uint64_t kind = 0;
    uint64_t size = 0;
    if (record == nullptr || !word(count) || !word(kind) || !word(size) || count > slotBytes / 8 ||
        !returnIsSound(kind, size)) {
        refuse();
        return;
    }
    remaining_ = count;
    returnKind_ = kind;
    returnSize_ = kind == kNoResult ? 0 : static_cast<size_t>(size);
}

bool CallbackMetaParser::returnIsSound(uint64_t kind, uint64_t size) {
    switch (kind) {
        case kNoResult:
            return true;
        case static_cast<uint64_t>(ReturnKind::kInteger):
            return size >= 1 && size <= 4;
        case static_cast<uint64_t>(ReturnKind::kFloat):
            return size == 4;
        case static_cast<uint64_t>(ReturnKind::kEightbyte):
        case static_cast<uint64_t>(ReturnKind::kDouble):
            return size >= 1 && size <= 8;
        case static_cast<uint64_t>(ReturnKind::kMemory):
            return size >= 1 && size <= kLargestMemoryResult;
        case static_cast<uint64_t>(ReturnKind::kVectorInteger):
        case static_cast<uint64_t>(ReturnKind::kIntegerVector):
        case static_cast<uint64_t>(ReturnKind::kVectorVector):
        case static_cast<uint64_t>(ReturnKind::kIntegerInteger):
            return size >= 9 && size <= 16;
        default:
            return false;
    }
}

bool CallbackMetaParser::word(uint64_t& value) {
    if (recordBytes_ - offset_ < sizeof(value)) {
        return false;
    }
    std::memcpy(&value, record_ + offset_, sizeof(value));
    offset_ += sizeof(value);
    return true;
}

bool CallbackMetaParser::claimSlots(uint64_t slots) {
    if (slots > (slotBytes_ - slotsUsed_) / 8) {
        return false;
    }
    slotsUsed_ += static_cast<size_t>(slots) * 8;
    return true;
}

CallbackMetaParser::Step CallbackMetaParser::refuse() {
    malformed_ = true;
    return Step::kMalformed;
}

CallbackMetaParser::Step CallbackMetaParser::next(CallbackParameter& parameter) {
    if (malformed_) {
        return Step::kMalformed;
    }
    if (remaining_ == 0) {
        return Step::kEnd;
    }
    uint64_t code = 0;
    if (!word(code) || code > static_cast<uint64_t>(EntryCode::kInt16)) {
        return refuse();
    }
    parameter.code = static_cast<EntryCode>(code);
    parameter.length = 0;
    parameter.members = nullptr;
    if (parameter.code == EntryCode::kMemory) {
        // An empty block would take no slot, and nothing would bound the record's length.
        if (!word(parameter.length) || parameter.length == 0 || parameter.length > slotBytes_ ||
            !claimSlots((parameter.length + 7) / 8)) {
            return refuse();
        }
    } else if (parameter.code == EntryCode::kStructure) {
        if (!word(parameter.length) || parameter.length == 0 || !claimSlots(parameter.length)) {
            return refuse();
        }
        parameter.members = record_ + offset_;
        for (uint64_t i = 0; i < parameter.length; ++i) {
            uint64_t member = 0;
            if (!word(member) || member > static_cast<uint64_t>(EntryCode::kInt16) ||
                StructureLayout::memberSize(static_cast<EntryCode>(member)) == 0) {
                return refuse();
            }
        }
    } else if (!claimSlots(1)) {
        return refuse();
    }
    --remaining_;
    return Step::kParameter;
}

}  // namespace nativio
