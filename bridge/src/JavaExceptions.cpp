#include "src/JavaExceptions.h"

namespace nativio {

void JavaExceptions::raise(JNIEnv* env, const char* className, const std::string& message) {
    jclass type = env->FindClass(className);
    if (type == nullptr) {
        return;  // FindClass left its own NoClassDefFoundError pending
    }
    env->ThrowNew(type, message.c_str());
    env->DeleteLocalRef(type);
}

}  // namespace nativio
