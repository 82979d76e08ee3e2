#pragma once

#include <jni.h>

namespace nativio {

// The Java VM that loaded the bridge, recorded so that native threads can reach it later.
class JavaVMRegistry {
  public:
    static void record(JNIEnv* env);
    static JavaVM* recorded();
};

}  // namespace nativio
