// JNI entry points of com.nativio.Callback.
#include <jni.h>

#include <cinttypes>
#include <cstdio>

#include "java/com_nativio_Callback.h"
#include "src/CallbackMethods.h"
#include "src/JavaExceptions.h"
#include "src/JavaVMRegistry.h"
#include "src/ThunkPool.h"

using nativio::JavaExceptions;

extern "C" {

JNIEXPORT jlong JNICALL Java_com_nativio_Callback_createNativeFunctionInstance(JNIEnv* env, jclass,
                                                                               jobject callback) {
    nativio::JavaVMRegistry::record(env);
    if (callback == nullptr) {
        JavaExceptions::raise(env, "java/lang/NullPointerException", "callback");
        return 0;
    }
    nativio::ThunkData data{};
    if (!nativio::CallbackMethods::describe(env, callback, data)) {
        return 0;  // the lookup or the callback object left its exception pending
    }
    data.target = env->NewGlobalRef(callback);
    if (data.target == nullptr) {
        return 0;
    }
    const void* thunk = nativio::ThunkPool::instance().create(data);
    if (thunk == nullptr) {
        env->DeleteGlobalRef(static_cast<jobject>(data.target));
        JavaExceptions::raise(env, "java/lang/OutOfMemoryError",
                              "Could not allocate callback thunk");
        return 0;
    }
    return reinterpret_cast<jlong>(thunk);
}

JNIEXPORT void JNICALL Java_com_nativio_Callback_releaseNativeFunctionInstance(JNIEnv* env, jclass,
                                                                               jlong address) {
    nativio::ThunkData data{};
    if (!nativio::ThunkPool::instance().release(reinterpret_cast<const void*>(address), data)) {
        char text[80];
        std::snprintf(text, sizeof(text), "not a callback thunk (address=0x%" PRIx64 ")",
                      static_cast<uint64_t>(address));
        JavaExceptions::raise(env, JavaExceptions::kIllegalArgument, text);
        return;
    }
    env->DeleteGlobalRef(static_cast<jobject>(data.target));
}

}  // extern "C"
