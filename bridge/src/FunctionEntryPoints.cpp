// JNI entry points of com.nativio.Function.
#include <jni.h>

#include <cinttypes>
#include <cstdio>

#include "java/com_nativio_Function.h"
#include "src/JavaExceptions.h"
#include "src/JavaInvocation.h"
#include "src/LibraryLookup.h"
#include "src/VirtualTableLookup.h"

using nativio::JavaExceptions;

extern "C" {

JNIEXPORT jlong JNICALL Java_com_nativio_Function_loadFunc(JNIEnv* env, jclass, jlong handle,
                                                           jstring name) {
    return nativio::LibraryLookup(env, handle).symbol(name, JavaExceptions::kNoSuchFunction);
}

JNIEXPORT void JNICALL Java_com_nativio_Function_unloadFunc(JNIEnv*, jclass, jlong) {}

JNIEXPORT jint JNICALL Java_com_nativio_Function_invokeCFunc(JNIEnv* env, jclass, jlong function,
                                                             jbyte, jbyteArray block, jint size,
                                                             jint returnSize, jint flags) {
    nativio::JavaInvocation(env, block, size, returnSize, flags)
        .invoke(reinterpret_cast<const void*>(function));
    return 0;
}

JNIEXPORT jint JNICALL Java_com_nativio_Function_invokeVirtualFunc(JNIEnv* env, jclass, jlong table,
                                                                   jint index, jbyte,
                                                                   jbyteArray block, jint size,
                                                                   jint returnSize, jint flags) {
    const void* function =
        nativio::VirtualTableLookup(static_cast<uintptr_t>(table), index).entry();
    if (function == nullptr) {
        char text[80];
        std::snprintf(text, sizeof(text), "invalid vtbl (address=0x%" PRIx64 ", index=%d)",
                      static_cast<uint64_t>(table), static_cast<int>(index));
        JavaExceptions::raise(env, JavaExceptions::kFunctionExecution, text);
        return 0;
    }
    nativio::JavaInvocation(env, block, size, returnSize, flags).invoke(function);
    return 0;
}

}  // extern "C"
