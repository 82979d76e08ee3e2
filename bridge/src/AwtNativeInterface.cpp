#include "src/AwtNativeInterface.h"

#include <dlfcn.h>

#include <cstdio>
#include <mutex>
#include <string>

namespace nativio {

namespace {

using GetAwt = jboolean(JNICALL*)(JNIEnv*, JAWT*);

std::once_flag located;
GetAwt getAwt = nullptr;

std::string javaHome(JNIEnv* env) {
    std::string home;
    jclass system = env->FindClass("java/lang/System");
    jmethodID property = system == nullptr
                             ? nullptr
                             : env->GetStaticMethodID(system, "getProperty",
                                                      "(Ljava/lang/String;)Ljava/lang/String;");
    jstring name = property == nullptr ? nullptr : env->NewStringUTF("java.home");
    auto value = name == nullptr
                     ? nullptr
                     : static_cast<jstring>(env->CallStaticObjectMethod(system, property, name));
    if (env->ExceptionCheck()) {
        env->ExceptionClear();
    } else if (value != nullptr) {
        const char* text = env->GetStringUTFChars(value, nullptr);
        if (text != nullptr) {
            home = text;
            env->ReleaseStringUTFChars(value, text);
        }
    }
    env->DeleteLocalRef(value);
    env->DeleteLocalRef(name);
    env->DeleteLocalRef(system);
    return home;
}

void locate(JNIEnv* env) {
    const std::string home = javaHome(env);
    if (home.empty()) {
        std::fputs("nativio: java.home is not set; JAWT is unavailable\n", stderr);
        return;
    }
    const std::string path = home + "/lib/libjawt.so";
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (library == nullptr) {
        std::fprintf(stderr, "nativio: JAWT is unavailable: %s\n", dlerror());
        return;
    }
    getAwt = reinterpret_cast<GetAwt>(dlsym(library, "JAWT_GetAWT"));
}

}  // namespace

AwtNativeInterface::Status AwtNativeInterface::obtain(JNIEnv* env, jint version, JAWT& awt) {
    std::call_once(located, locate, env);
    if (getAwt == nullptr) {
        return Status::kUnsupported;
    }
    awt.version = version;
    return getAwt(env, &awt) == JNI_FALSE ? Status::kRefused : Status::kReady;
}

}  // namespace nativio
