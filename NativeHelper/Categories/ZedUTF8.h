#pragma once

#include <string_view>

namespace ZedUTF8 {
// Well-formed UTF-8: no stray continuation bytes, overlong forms, surrogates or values above
// U+10FFFF.
bool isValid(std::string_view text);
}  // namespace ZedUTF8
