// JNI entry points of com.nativio.MemoryManager.
#include <jni.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "java/com_nativio_MemoryManager.h"
#include "src/JavaExceptions.h"
#include "src/NativeStringLength.h"

using nativio::JavaExceptions;

namespace {

constexpr const char* kOutOfMemory = "java/lang/OutOfMemoryError";

// Asks the Java runtime to give memory back: a collection and, where the runtime still has
// it, finalization.
void reclaimJavaMemory(JNIEnv* env) {
    jclass system = env->FindClass("java/lang/System");
    if (system == nullptr) {
        env->ExceptionClear();
        return;
    }
    for (const char* name : {"gc", "runFinalization"}) {
        jmethodID method = env->GetStaticMethodID(system, name, "()V");
        if (method == nullptr) {
            env->ExceptionClear();
            continue;
        }
        env->CallStaticVoidMethod(system, method);
        env->ExceptionClear();
    }
    env->DeleteLocalRef(system);
}

template <typename Allocate>
jlong allocateWithRetry(JNIEnv* env, jlong size, Allocate allocate) {
    if (size < 0) {
        JavaExceptions::raise(env, JavaExceptions::kIllegalArgument, "negative size");
        return 0;
    }
    // At least one byte, so that a successful allocation is never mistaken for a failed one.
    const size_t bytes = size == 0 ? 1 : static_cast<size_t>(size);
    void* memory = allocate(bytes);
    if (memory == nullptr) {
        reclaimJavaMemory(env);
        memory = allocate(bytes);
    }
    if (memory == nullptr) {
        JavaExceptions::raise(env, kOutOfMemory, "Out of memory");
        return 0;
    }
    return reinterpret_cast<jlong>(memory);
}

}  // namespace

extern "C" {

JNIEXPORT jlong JNICALL Java_com_nativio_MemoryManager_alloc(JNIEnv* env, jclass, jlong size) {
    return allocateWithRetry(env, size, [](size_t bytes) { return std::malloc(bytes); });
}

JNIEXPORT jlong JNICALL Java_com_nativio_MemoryManager_realloc(JNIEnv* env, jclass, jlong address,
                                                               jlong size) {
    void* old = reinterpret_cast<void*>(address);
    return allocateWithRetry(env, size, [old](size_t bytes) { return std::realloc(old, bytes); });
}

JNIEXPORT void JNICALL Java_com_nativio_MemoryManager_free(JNIEnv*, jclass, jlong address) {
    std::free(reinterpret_cast<void*>(address));
}

JNIEXPORT jobject JNICALL Java_com_nativio_MemoryManager_createBuffer(JNIEnv* env, jclass,
                                                                      jlong address, jlong length) {
    if (address == 0 || length < 0) {
        JavaExceptions::raise(env, JavaExceptions::kIllegalArgument,
                              "a buffer needs an address and a length of at least 0");
        return nullptr;
    }
    return env->NewDirectByteBuffer(reinterpret_cast<void*>(address), length);
}

JNIEXPORT jstring JNICALL Java_com_nativio_MemoryManager_readString(JNIEnv* env, jclass,
                                                                    jlong address, jlong offset) {
    const auto text = static_cast<uintptr_t>(address + offset);
    nativio::NativeStringLength length(text, nativio::NativeStringLength::Width::kNarrow);
    if (!length.measure()) {
        char code[16];
        std::snprintf(code, sizeof(code), "%x", static_cast<unsigned>(length.faultCode()));
        JavaExceptions::raise(env, JavaExceptions::kMemoryAccessViolation, code);
        return nullptr;
    }
    if (length.length() > INT32_MAX) {
        JavaExceptions::raise(env, JavaExceptions::kIllegalArgument,
                              "the string is longer than a Java array can be");
        return nullptr;
    }
    // Decoded by Java, so that any byte sequence gives a string (malformed UTF-8 becomes
    // replacement characters) rather than a JNI error.
    const auto size = static_cast<jsize>(length.length());
    jbyteArray bytes = env->NewByteArray(size);
    if (bytes == nullptr) {
        return nullptr;
    }
    env->SetByteArrayRegion(bytes, 0, size, reinterpret_cast<const jbyte*>(text));
    jclass stringClass = env->FindClass("java/lang/String");
    jmethodID constructor =
        stringClass == nullptr ? nullptr
                               : env->GetMethodID(stringClass, "<init>", "([BLjava/lang/String;)V");
    jstring charset = constructor == nullptr ? nullptr : env->NewStringUTF("UTF-8");
    jstring result =
        charset == nullptr
            ? nullptr
            : static_cast<jstring>(env->NewObject(stringClass, constructor, bytes, charset));
    env->DeleteLocalRef(bytes);
    env->DeleteLocalRef(charset);
    env->DeleteLocalRef(stringClass);
    return result;
}

JNIEXPORT jbyteArray JNICALL Java_com_nativio_MemoryManager_convertToByteArray(JNIEnv* env, jclass,
                                                                               jlong address) {
    jbyteArray bytes = env->NewByteArray(8);
    if (bytes != nullptr) {
        env->SetByteArrayRegion(bytes, 0, 8, reinterpret_cast<const jbyte*>(&address));
    }
    return bytes;
}

JNIEXPORT jlong JNICALL Java_com_nativio_MemoryManager_convertFromByteArray(JNIEnv* env, jclass,
                                                                            jbyteArray bytes) {
    if (bytes == nullptr || env->GetArrayLength(bytes) != 8) {
        return 0;
    }
    jlong address = 0;
    env->GetByteArrayRegion(bytes, 0, 8, reinterpret_cast<jbyte*>(&address));
    return address;
}

}  // extern "C"
