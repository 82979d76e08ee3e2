#pragma once

#include <string>
#include <vector>

// Conversions between C string arrays at the library's boundary and string lists inside it.
namespace ZedCStringArray {

// The valid UTF-8 entries among the first `count`, in order. Null entries are skipped quietly,
// others that are not UTF-8 with a warning; a null array or a count below 1 gives nothing.
std::vector<std::string> arrayOfStringsWithCStrings(const char* const* strings, int count);

// A heap array of heap copies followed by a null entry, or null when memory runs out (nothing
// is left allocated then). Free it with zed_free_cstring_array.
char** toNullTerminatedArrayOfCStrings(const std::vector<std::string>& strings);

}  // namespace ZedCStringArray
