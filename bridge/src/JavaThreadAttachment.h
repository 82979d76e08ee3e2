#pragma once

#include <jni.h>

namespace nativio {

// The calling thread's JNI environment for the span of one call from native code into Java.
// A thread the VM has not seen is attached for the span and detached at its end; a thread
// that was attached already stays attached.
class JavaThreadAttachment {
  public:
    explicit JavaThreadAttachment(JavaVM* vm);
    ~JavaThreadAttachment();
    JavaThreadAttachment(const JavaThreadAttachment&) = delete;
    JavaThreadAttachment& operator=(const JavaThreadAttachment&) = delete;

    // Null when there is no VM or the thread could not be attached.
    JNIEnv* env() const { return env_; }

  private:
    JavaVM* vm_;
    JNIEnv* env_ = nullptr;
    bool attachedHere_ = false;
};

// Clears an exception that Java code left pending on a thread with no Java caller to receive
// it, printing it with its stack trace to standard error. True when there was one.
bool reportPendingException(JNIEnv* env);

}  // namespace nativio
