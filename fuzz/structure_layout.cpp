// The layout of structure members. The input is a list of member type codes; each is placed
// as a C compiler places it, and the result must match a plain model of the x86-64 rules:
// every member at the next multiple of its size, the size rounded to the largest member, and
// an eightbyte travelling in a vector register exactly when all it holds is float or double.
#include <algorithm>
#include <vector>

#include "src/StructureLayout.h"
#include "support/FuzzCheck.h"

namespace {

using nativio::EntryCode;

struct Member {
    size_t offset;
    size_t width;
    bool vector;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    nativio::StructureLayout layout;
    std::vector<Member> members;
    size_t end = 0;
    size_t alignment = 1;
    for (size_t i = 0; i < size; ++i) {
        const auto code = static_cast<EntryCode>(data[i] % 10);
        const size_t width = nativio::StructureLayout::memberSize(code);
        const long offset = layout.place(code);
        if (width == 0) {
            VT_FUZZ_CHECK(offset == -1);
            continue;
        }
        const size_t expected = (end + width - 1) / width * width;
        VT_FUZZ_CHECK(offset == static_cast<long>(expected));
        members.push_back(
            {expected, width, code == EntryCode::kFloat || code == EntryCode::kDouble});
        end = expected + width;
        alignment = std::max(alignment, width);
    }
    const size_t expectedSize = (end + alignment - 1) / alignment * alignment;
    VT_FUZZ_CHECK(layout.size() == expectedSize);
    VT_FUZZ_CHECK(layout.eightbyteCount() == (expectedSize + 7) / 8);
    VT_FUZZ_CHECK(layout.fitsInRegisters() == (expectedSize <= 16));
    for (size_t eightbyte = 0; eightbyte < 2; ++eightbyte) {
        bool anyVector = false;
        bool anyInteger = false;
        for (const Member& member : members) {
            if (member.offset / 8 == eightbyte) {
                (member.vector ? anyVector : anyInteger) = true;
            }
        }
        VT_FUZZ_CHECK(layout.isVectorEightbyte(eightbyte) == (anyVector && !anyInteger));
    }
    return 0;
}
