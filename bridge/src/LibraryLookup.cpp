#include "src/LibraryLookup.h"

#include <dlfcn.h>

#include <cstdint>
#include <string>

#include "src/JavaExceptions.h"

namespace nativio {

LibraryLookup::LibraryLookup(JNIEnv* env, jlong handle)
    : env_(env), handle_(reinterpret_cast<void*>(static_cast<intptr_t>(handle))) {}

jlong LibraryLookup::symbol(jstring name, const char* failureClass) {
    if (name == nullptr) {
        JavaExceptions::raise(env_, failureClass, "null");
        return 0;
    }
    const char* text = env_->GetStringUTFChars(name, nullptr);
    if (text == nullptr) {
        return 0;  // OutOfMemoryError is pending
    }
    const std::string symbolName(text);
    env_->ReleaseStringUTFChars(name, text);
    void* address = dlsym(handle_, symbolName.c_str());
    if (address == nullptr) {
        JavaExceptions::raise(env_, failureClass, symbolName);
        return 0;
    }
    return static_cast<jlong>(reinterpret_cast<intptr_t>(address));
}

}  // namespace nativio
