#pragma once

#include <jni.h>

#include <string>

namespace nativio {

// Raises the bridge's named Java exceptions with their fixed messages.
class JavaExceptions {
  public:
    static constexpr const char* kLibraryNotFound = "com/nativio/LibraryNotFoundException";
    static constexpr const char* kNoSuchVariable = "com/nativio/NoSuchVariableException";
    static constexpr const char* kNoSuchFunction = "com/nativio/NoSuchFunctionException";
    static constexpr const char* kFunctionExecution = "com/nativio/FunctionExecutionException";
    static constexpr const char* kMemoryAccessViolation =
        "com/nativio/MemoryAccessViolationException";
    static constexpr const char* kIllegalArgument = "java/lang/IllegalArgumentException";

    static constexpr const char* kMalformedBlock = "Parameter types or their count are not correct";

    static void raise(JNIEnv* env, const char* className, const std::string& message);
};

}  // namespace nativio
