// JNI entry points of com.nativio.PlatformContext: the facts of the native platform and
// conversions between Java doubles and the C floating-point formats.
#include <jni.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "java/com_nativio_ArgumentBlock.h"
#include "java/com_nativio_PlatformContext.h"
#include "src/JavaExceptions.h"
#include "src/NativeStringLength.h"

using nativio::JavaExceptions;
using nativio::NativeStringLength;

namespace {

// Long double is the x87 80-bit extended format, stored in 16 bytes.
constexpr jsize kLongDoubleBytes = 16;

bool readExact(JNIEnv* env, jbyteArray bytes, jsize expected, void* out) {
    if (bytes == nullptr || env->GetArrayLength(bytes) != expected) {
        JavaExceptions::raise(env, JavaExceptions::kIllegalArgument,
                              "expected " + std::to_string(expected) + " bytes");
        return false;
    }
    env->GetByteArrayRegion(bytes, 0, expected, static_cast<jbyte*>(out));
    return true;
}

jbyteArray arrayOf(JNIEnv* env, const void* value, jsize length) {
    jbyteArray bytes = env->NewByteArray(length);
    if (bytes != nullptr) {
        env->SetByteArrayRegion(bytes, 0, length, static_cast<const jbyte*>(value));
    }
    return bytes;
}

jlong measured(JNIEnv* env, jlong address, NativeStringLength::Width width) {
    NativeStringLength string(static_cast<uintptr_t>(address), width);
    if (!string.measure()) {
        char code[16];
        std::snprintf(code, sizeof(code), "%x", static_cast<unsigned>(string.faultCode()));
        JavaExceptions::raise(env, JavaExceptions::kMemoryAccessViolation, code);
        return 0;
    }
    return static_cast<jlong>(string.length());
}

}  // namespace

extern "C" {

JNIEXPORT jint JNICALL Java_com_nativio_PlatformContext_getBoolLength(JNIEnv*, jclass) {
    return sizeof(bool);
}
JNIEXPORT jint JNICALL Java_com_nativio_PlatformContext_getWideCharLength(JNIEnv*, jclass) {
    return sizeof(wchar_t);
}
JNIEXPORT jint JNICALL Java_com_nativio_PlatformContext_getPointerLength(JNIEnv*, jclass) {
    return sizeof(void*);
}
JNIEXPORT jint JNICALL Java_com_nativio_PlatformContext_getShortLength(JNIEnv*, jclass) {
    return sizeof(short);
}
JNIEXPORT jint JNICALL Java_com_nativio_PlatformContext_getIntLength(JNIEnv*, jclass) {
    return sizeof(int);
}
JNIEXPORT jint JNICALL Java_com_nativio_PlatformContext_getLongLength(JNIEnv*, jclass) {
    return sizeof(long);
}
JNIEXPORT jint JNICALL Java_com_nativio_PlatformContext_getFloatLength(JNIEnv*, jclass) {
    return sizeof(float);
}
JNIEXPORT jint JNICALL Java_com_nativio_PlatformContext_getDoubleLength(JNIEnv*, jclass) {
    return sizeof(double);
}
JNIEXPORT jint JNICALL Java_com_nativio_PlatformContext_getLongDoubleLength(JNIEnv*, jclass) {
    return sizeof(long double);
}
JNIEXPORT jboolean JNICALL Java_com_nativio_PlatformContext_isLittleEndian(JNIEnv*, jclass) {
    return __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? JNI_TRUE : JNI_FALSE;
}
JNIEXPORT jint JNICALL Java_com_nativio_PlatformContext_getParameterAlignment(JNIEnv*, jclass) {
    return 8;
}
JNIEXPORT jint JNICALL Java_com_nativio_PlatformContext_getDefaultStructureAlignment(JNIEnv*,
                                                                                     jclass) {
    return 8;
}
JNIEXPORT jint JNICALL Java_com_nativio_PlatformContext_getDefaultCallingConvention(JNIEnv*,
                                                                                    jclass) {
    return com_nativio_ArgumentBlock_DEFAULT_CONVENTION;
}

JNIEXPORT jlong JNICALL Java_com_nativio_PlatformContext_strlen(JNIEnv* env, jclass,
                                                                jlong address) {
    return measured(env, address, NativeStringLength::Width::kNarrow);
}

JNIEXPORT jlong JNICALL Java_com_nativio_PlatformContext_wcslen(JNIEnv* env, jclass,
                                                                jlong address) {
    return measured(env, address, NativeStringLength::Width::kWide);
}

JNIEXPORT jdouble JNICALL Java_com_nativio_PlatformContext_convertCFloatToDouble(JNIEnv* env,
                                                                                 jclass,
                                                                                 jbyteArray bytes) {
    float value = 0;
    return readExact(env, bytes, sizeof(value), &value) ? value : 0.0;
}

JNIEXPORT jdouble JNICALL
Java_com_nativio_PlatformContext_convertCDoubleToDouble(JNIEnv* env, jclass, jbyteArray bytes) {
    double value = 0;
    return readExact(env, bytes, sizeof(value), &value) ? value : 0.0;
}

JNIEXPORT jdouble JNICALL
Java_com_nativio_PlatformContext_convertCLongDoubleToDouble(JNIEnv* env, jclass, jbyteArray bytes) {
    long double value = 0;
    static_assert(sizeof(value) == kLongDoubleBytes);
    return readExact(env, bytes, kLongDoubleBytes, &value) ? static_cast<double>(value) : 0.0;
}

JNIEXPORT jbyteArray JNICALL Java_com_nativio_PlatformContext_convertDoubleToCFloat(JNIEnv* env,
                                                                                    jclass,
                                                                                    jdouble value) {
    const float narrow = static_cast<float>(value);
    return arrayOf(env, &narrow, sizeof(narrow));
}

JNIEXPORT jbyteArray JNICALL
Java_com_nativio_PlatformContext_convertDoubleToCDouble(JNIEnv* env, jclass, jdouble value) {
    return arrayOf(env, &value, sizeof(value));
}

JNIEXPORT jbyteArray JNICALL
Java_com_nativio_PlatformContext_convertDoubleToCLongDouble(JNIEnv* env, jclass, jdouble value) {
    uint8_t bytes[kLongDoubleBytes] = {};
    const long double wide = value;
    // Only the 10 bytes of the extended format carry the value; the padding stays zero.
    std::memcpy(bytes, &wide, 10);
    return arrayOf(env, bytes, kLongDoubleBytes);
}

}  // extern "C"
