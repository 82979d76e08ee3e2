#pragma once

#include <jni.h>

namespace nativio {

// Finds a symbol of an opened library for Java; a missing symbol raises the given exception
// class with the symbol's name as message.
class LibraryLookup {
  public:
    LibraryLookup(JNIEnv* env, jlong handle);

    jlong symbol(jstring name, const char* failureClass);

  private:
    JNIEnv* env_;
    void* handle_;
};

}  // namespace nativio
