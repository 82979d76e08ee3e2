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

/* The floor of any call protocol that passes a Java byte array: copy the block in, check the
 * copy, add, write the result back. Nothing else of the bridge's work is done. */
JNIEXPORT jint JNICALL Java_com_nativio_bench_JniAdd_addThroughArray(JNIEnv* env, jclass type,
                                                                     jbyteArray block, jint size) {
    (void)type;
    jint words[16];
    if (size < 12 || size > (jint)sizeof(words)) {
        return -1;
    }
    (*env)->GetByteArrayRegion(env, block, 0, size, (jbyte*)words);
    if ((*env)->ExceptionCheck(env)) {
        return -1;
    }
    words[0] = add(words[1], words[2]);
    (*env)->SetByteArrayRegion(env, block, 0, 4, (const jbyte*)words);
    return 0;
}
