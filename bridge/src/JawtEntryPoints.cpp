// JNI entry points of com.nativio.jawt.JAWT.
#include <jawt.h>
#include <jni.h>

#include "java/com_nativio_jawt_JAWT.h"
#include "src/AwtNativeInterface.h"
#include "src/JavaExceptions.h"

using nativio::AwtNativeInterface;
using nativio::JavaExceptions;

namespace {

constexpr const char* kRuntimeException = "java/lang/RuntimeException";

// The interface at the given version, or false with the exception raised.
bool obtain(JNIEnv* env, jint version, JAWT& awt) {
    const AwtNativeInterface::Status status = AwtNativeInterface::obtain(env, version, awt);
    if (status == AwtNativeInterface::Status::kUnsupported) {
        JavaExceptions::raise(env, "java/lang/UnsupportedOperationException",
                              "JAWT is not supported by this Java version");
    } else if (status == AwtNativeInterface::Status::kRefused) {
        JavaExceptions::raise(env, kRuntimeException, "Assertion failed: result != JNI_FALSE");
    }
    return status == AwtNativeInterface::Status::kReady;
}

}  // namespace

extern "C" {

JNIEXPORT void JNICALL Java_com_nativio_jawt_JAWT_doLockAWT(JNIEnv* env, jclass) {
    JAWT awt{};
    if (obtain(env, JAWT_VERSION_1_4, awt)) {
        awt.Lock(env);
    }
}

JNIEXPORT void JNICALL Java_com_nativio_jawt_JAWT_doUnlockAWT(JNIEnv* env, jclass) {
    JAWT awt{};
    if (obtain(env, JAWT_VERSION_1_4, awt)) {
        awt.Unlock(env);
    }
}

JNIEXPORT jlong JNICALL Java_com_nativio_jawt_JAWT_doGetDrawingSurface(JNIEnv* env, jclass,
                                                                       jobject component) {
    if (component == nullptr) {
        JavaExceptions::raise(env, "java/lang/NullPointerException", "component");
        return 0;
    }
    JAWT awt{};
    if (!obtain(env, JAWT_VERSION_1_3, awt)) {
        return 0;
    }
    JAWT_DrawingSurface* surface = awt.GetDrawingSurface(env, component);
    if (surface == nullptr) {
        JavaExceptions::raise(env, kRuntimeException, "Assertion failed: ds != NULL");
        return 0;
    }
    return reinterpret_cast<jlong>(surface);
}

JNIEXPORT void JNICALL Java_com_nativio_jawt_JAWT_doFreeDrawingSurface(JNIEnv* env, jclass,
                                                                       jlong surface) {
    JAWT awt{};
    if (surface != 0 && obtain(env, JAWT_VERSION_1_3, awt)) {
        awt.FreeDrawingSurface(reinterpret_cast<JAWT_DrawingSurface*>(surface));
    }
}

JNIEXPORT jobject JNICALL Java_com_nativio_jawt_JAWT_doGetComponentFromHandle(JNIEnv* env, jclass,
                                                                              jlong handle) {
    JAWT awt{};
    if (!obtain(env, JAWT_VERSION_1_4, awt)) {
        return nullptr;
    }
    return awt.GetComponent(env, reinterpret_cast<void*>(handle));
}

JNIEXPORT jlong JNICALL Java_com_nativio_jawt_JAWT_doGetHandle(JNIEnv*, jclass, jlong address) {
    auto* surface = reinterpret_cast<JAWT_DrawingSurface*>(address);
    if (surface == nullptr || (surface->Lock(surface) & JAWT_LOCK_ERROR) != 0) {
        return 0;
    }
    jlong handle = 0;
    JAWT_DrawingSurfaceInfo* info = surface->GetDrawingSurfaceInfo(surface);
    if (info != nullptr) {
        // On X11 the platform information starts with the drawable, an XID.
        handle = static_cast<jlong>(*static_cast<const unsigned long*>(info->platformInfo));
        surface->FreeDrawingSurfaceInfo(info);
    }
    surface->Unlock(surface);
    return handle;
}

}  // extern "C"
