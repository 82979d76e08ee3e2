#include "src/StructureLayout.h"

namespace nativio {

size_t StructureLayout::memberSize(EntryCode code) {
    switch (code) {
        case EntryCode::kInt8:
            return 1;
        case EntryCode::kInt16:
            return 2;
        case EntryCode::kInt32:
        case EntryCode::kFloat:
            return 4;
        case EntryCode::kPointer:
        case EntryCode::kInt64:
        case EntryCode::kDouble:
            return 8;
        default:
            return 0;
    }
}

long StructureLayout::place(EntryCode code) {
    const size_t width = memberSize(code);
    if (width == 0) {
        return -1;
    }
    const size_t offset = (end_ + width - 1) / width * width;
    end_ = offset + width;
    if (width > alignment_) {
        alignment_ = width;
    }
    const size_t eightbyte = offset / 8;
    if (eightbyte < 2) {
        const bool vector = code == EntryCode::kFloat || code == EntryCode::kDouble;
        (vector ? hasVector_ : hasInteger_)[eightbyte] = true;
    }
    return static_cast<long>(offset);
}

size_t StructureLayout::size() const {
    return (end_ + alignment_ - 1) / alignment_ * alignment_;
}

bool StructureLayout::isVectorEightbyte(size_t index) const {
    return index < 2 && hasVector_[index] && !hasInteger_[index];
}

}  // namespace nativio
