/* A native library of the stand-in service, which it loads by name with System.loadLibrary. */
#include <jni.h>

JNIEXPORT jstring JNICALL Java_Main_probe(JNIEnv* env, jclass unused) {
    (void)unused;
    return (*env)->NewStringUTF(env, "found through the loader path");
}
