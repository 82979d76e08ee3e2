#pragma once

#include <jni.h>

#include "src/ThunkPool.h"

namespace nativio {

// What the dispatcher needs of a callback object, learnt once when its thunk is created: the
// method ID of enterPoint, found by name and signature on the object's class, and the answers
// of getParametersLength and getCallbackMetaInfo, which describe the object's one C signature
// for its whole life. Asking once keeps every callback to a single call into Java.
class CallbackMethods {
  public:
    // False with a Java exception pending when the class lacks a method or one of them threw.
    static bool describe(JNIEnv* env, jobject callback, ThunkData& data);
};

}  // namespace nativio
