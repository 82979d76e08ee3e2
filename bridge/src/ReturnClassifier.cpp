#include "src/ReturnClassifier.h"

#include <algorithm>
#include <cstring>

namespace nativio {

ReturnClassifier::ReturnClassifier(size_t returnSize, uint32_t flags)
    : returnSize_(returnSize), flags_(flags), kind_(classify(returnSize, flags)) {}

ReturnKind ReturnClassifier::classify(size_t returnSize, uint32_t flags) {
    if (flags & kRegisterPair) {
        if (flags & kPairVectorInteger) {
            return ReturnKind::kVectorInteger;
        }
        if (flags & kPairIntegerVector) {
            return ReturnKind::kIntegerVector;
        }
        if (flags & kPairVectorVector) {
            return ReturnKind::kVectorVector;
        }
        if (flags & kPairIntegerInteger) {
            return ReturnKind::kIntegerInteger;
        }
        return (flags & kFloatingPoint) ? ReturnKind::kDouble : ReturnKind::kEightbyte;
    }
    if (flags & kFloatingPoint) {
        return returnSize == 4 ? ReturnKind::kFloat : ReturnKind::kDouble;
    }
    if (returnSize >= 9 || (flags & kInMemory)) {
        return ReturnKind::kMemory;
    }
    return returnSize == 8 ? ReturnKind::kEightbyte : ReturnKind::kInteger;
}

void ReturnClassifier::store(const NativeCallFrame& frame, uint8_t* returnArea) const {
    uint64_t result[2] = {0, 0};
    size_t produced = 8;
    switch (kind_) {
        case ReturnKind::kInteger:
            result[0] = frame.rax;
            produced = !(flags_ & kSmallInteger) ? 4 : returnSize_ == 2 ? 2 : 1;
            break;
        case ReturnKind::kEightbyte:
            result[0] = frame.rax;
            break;
        case ReturnKind::kFloat:
            result[0] = frame.xmm0;
            produced = 4;
            break;
        case ReturnKind::kDouble:
            result[0] = frame.xmm0;
            break;
        case ReturnKind::kMemory:
            return;
        case ReturnKind::kVectorInteger:
            result[0] = frame.xmm0;
            result[1] = frame.rax;
            produced = 16;
            break;
        case ReturnKind::kIntegerVector:
            result[0] = frame.rax;
            result[1] = frame.xmm0;
            produced = 16;
            break;
        case ReturnKind::kVectorVector:
            result[0] = frame.xmm0;
            result[1] = frame.xmm1;
            produced = 16;
            break;
        case ReturnKind::kIntegerInteger:
            result[0] = frame.rax;
            result[1] = frame.rdx;
            produced = 16;
            break;
    }
    std::memcpy(returnArea, result, std::min(produced, returnSize_));
}

}  // namespace nativio
