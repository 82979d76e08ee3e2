/* The function every benchmark peer calls, and the hand-written JNI function that calls it. */
#include <jni.h>

__attribute__((visibility("default"))) int add(int a, int b) {
    return a + b;
}

JNIEXPORT jint JNICALL Java_com_nativio_bench_JniAdd_add(JNIEnv* env, jclass type, jint a, jint b) {
    (void)env;
    (void)type;
    return add(a, b);
}
