#include "include/vtnative.h"

const char* const kZedGenericStringSeparator = "kZedGenericStringSeparator";
