#include "src/CallbackMethods.h"

namespace nativio {

bool CallbackMethods::describe(JNIEnv* env, jobject callback, ThunkData& data) {
    jclass type = env->GetObjectClass(callback);
    jmethodID parametersLength = env->GetMethodID(type, "getParametersLength", "()I");
    jmethodID metaInfo = parametersLength == nullptr
                             ? nullptr
                             : env->GetMethodID(type, "getCallbackMetaInfo", "()J");
    jmethodID enterPoint =
        metaInfo == nullptr ? nullptr : env->GetMethodID(type, "enterPoint", "(JI)J");
    env->DeleteLocalRef(type);
    if (enterPoint == nullptr) {
        return false;
    }
    data.enterPoint = enterPoint;
    data.parametersLength = env->CallIntMethod(callback, parametersLength);
    if (env->ExceptionCheck()) {
        return false;
    }
    data.meta = reinterpret_cast<const void*>(env->CallLongMethod(callback, metaInfo));
    return !env->ExceptionCheck();
}

}  // namespace nativio
