#pragma once

#include <jawt.h>
#include <jni.h>

namespace nativio {

// The AWT native interface of the running JDK: its library, java.home + "/lib/libjawt.so",
// is opened once per process and JAWT_GetAWT looked up in it.
class AwtNativeInterface {
  public:
    enum class Status { kReady, kUnsupported, kRefused };

    // Fills `awt` for `version`: kUnsupported without the library, kRefused when the runtime
    // declines (headless, no display, an unknown version).
    static Status obtain(JNIEnv* env, jint version, JAWT& awt);
};

}  // namespace nativio
