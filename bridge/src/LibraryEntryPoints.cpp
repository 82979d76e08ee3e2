// JNI entry points of com.nativio.Library, and the bridge's load hook.
#include <dlfcn.h>
#include <jni.h>

#include <cstdint>
#include <string>

#include "java/com_nativio_Library.h"
#include "src/JavaExceptions.h"
#include "src/JavaVMRegistry.h"
#include "src/LibraryLookup.h"
#include "src/SEHGuard.h"

using nativio::JavaExceptions;

namespace {

// The path bytes up to their terminating NUL (or the whole array when it has none).
std::string pathFrom(JNIEnv* env, jbyteArray path) {
    const jsize length = env->GetArrayLength(path);
    std::string bytes(static_cast<size_t>(length), '\0');
    env->GetByteArrayRegion(path, 0, length, reinterpret_cast<jbyte*>(bytes.data()));
    bytes.resize(bytes.find('\0') == std::string::npos ? bytes.size() : bytes.find('\0'));
    return bytes;
}

}  // namespace

extern "C" {

JNIEXPORT jint JNICALL JNI_OnLoad(JavaVM*, void*) {
    nativio::SEHGuard::installHandlers();
    return JNI_VERSION_1_8;
}

JNIEXPORT jlong JNICALL Java_com_nativio_Library_loadLibrary(JNIEnv* env, jclass, jbyteArray path) {
    nativio::JavaVMRegistry::record(env);
    if (path == nullptr) {
        JavaExceptions::raise(env, JavaExceptions::kLibraryNotFound, "null");
        return 0;
    }
    const std::string file = pathFrom(env, path);
    void* handle = dlopen(file.c_str(), RTLD_NOW);
    if (handle == nullptr) {
        const char* cause = dlerror();
        JavaExceptions::raise(env, JavaExceptions::kLibraryNotFound,
                              cause != nullptr ? file + " cause: " + cause : file);
        return 0;
    }
    return static_cast<jlong>(reinterpret_cast<intptr_t>(handle));
}

JNIEXPORT jint JNICALL Java_com_nativio_Library_freeLibrary(JNIEnv*, jclass, jlong handle) {
    // dlclose(NULL) would crash inside the loader; a null handle was never opened.
    return handle == 0 ? -1 : dlclose(reinterpret_cast<void*>(static_cast<intptr_t>(handle)));
}

JNIEXPORT jlong JNICALL Java_com_nativio_Library_getVariableHandle(JNIEnv* env, jclass,
                                                                   jlong handle, jstring name) {
    return nativio::LibraryLookup(env, handle).symbol(name, JavaExceptions::kNoSuchVariable);
}

}  // extern "C"
