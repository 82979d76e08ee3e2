#pragma once

#include <jni.h>

namespace nativio {

// The Java side of one invokeCFunc: checks the array against the given sizes, copies the block
// into native memory, runs the call, writes the return area back and turns every failure into
// the bridge's exception.
class JavaInvocation {
  public:
    JavaInvocation(JNIEnv* env, jbyteArray block, jint size, jint returnSize, jint flags);

    void invoke(const void* function);

  private:
    bool sizesAreSound() const;
    void reportFault(const unsigned char* block) const;

    JNIEnv* env_;
    jbyteArray block_;
    jint size_;
    jint returnSize_;
    jint flags_;
};

}  // namespace nativio
