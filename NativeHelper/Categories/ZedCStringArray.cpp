#include "Categories/ZedCStringArray.h"

#include <cstdlib>
#include <cstring>

#include "Categories/ZedUTF8.h"
#include "Logging/ZedLogging/ZedLog.h"
#include "include/vtnative.h"

namespace {
constexpr int kLogMask = ZedLogMaskInfo;
}  // namespace

namespace ZedCStringArray {

std::vector<std::string> arrayOfStringsWithCStrings(const char* const* strings, int count) {
    std::vector<std::string> result;
    if (!strings || count <= 0) {
        return result;
    }
    for (int i = 0; i < count; ++i) {
        const char* entry = strings[i];
        if (!entry) {
            continue;
        }
        if (!ZedUTF8::isValid(entry)) {
            ZedLogWarn(kLogMask, ZedLogContextPlatform,
                       "unable to create string from char array: (%s)", entry);
            continue;
        }
        result.emplace_back(entry);
    }
    return result;
}

char** toNullTerminatedArrayOfCStrings(const std::vector<std::string>& strings) {
    auto* array = static_cast<char**>(std::calloc(strings.size() + 1, sizeof(char*)));
    if (!array) {
        return nullptr;
    }
    for (std::size_t i = 0; i < strings.size(); ++i) {
        array[i] = static_cast<char*>(std::malloc(strings[i].size() + 1));
        if (!array[i]) {
            zed_free_cstring_array(array, static_cast<int32_t>(i));
            return nullptr;
        }
        std::memcpy(array[i], strings[i].c_str(), strings[i].size() + 1);
    }
    return array;
}

}  // namespace ZedCStringArray

extern "C" void zed_free_cstring_array(char** array, int32_t count) {
    if (!array) {
        return;
    }
    for (int32_t i = 0; i < count; ++i) {
        std::free(array[i]);
    }
    std::free(array);
}
