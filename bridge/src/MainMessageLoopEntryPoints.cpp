// JNI entry points of com.pellaro.deskara.macosx.MainMessageLoop.
#include <jni.h>

#include "java/com_pellaro_deskara_macosx_MainMessageLoop.h"
#include "src/JavaExceptions.h"
#include "src/MainThreadQueue.h"

using nativio::JavaExceptions;

extern "C" {

JNIEXPORT void JNICALL Java_com_pellaro_deskara_macosx_MainMessageLoop_runInAppKitThread(
    JNIEnv* env, jclass, jobject runnable, jint wait) {
    if (runnable == nullptr) {
        JavaExceptions::raise(env, "java/lang/NullPointerException", "runnable");
        return;
    }
    nativio::MainThreadQueue::instance().run(env, runnable, wait == 1);
}

JNIEXPORT void JNICALL Java_com_pellaro_deskara_macosx_MainMessageLoop_runOneIteration(JNIEnv* env,
                                                                                       jclass) {
    if (!nativio::MainThreadQueue::instance().serveOne(env)) {
        JavaExceptions::raise(env, "java/lang/IllegalStateException",
                              "the main message loop is served by another thread");
    }
}

}  // extern "C"
