#pragma once

#include <string_view>

// Orders two texts the way people order version numbers: runs of digits compare by their
// value ("10" after "9"), every other character by its code. Returns <0, 0 or >0.
int compareNumeric(std::string_view left, std::string_view right);
