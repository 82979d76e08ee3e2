/* C side of ./dev bench upcall: a native thread calls int cb(int, int) many times and times
 * the calls. The thread is attached to the JVM for the whole run, or never (then each call
 * through a bridge attaches and detaches it). */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <jni.h>
#include <pthread.h>
#include <stdint.h>
#include <time.h>

typedef int (*Callback)(int, int);

struct Run {
    Callback cb;
    int warmUp;
    int calls;
    int attach;
    int64_t nanoseconds;
    int checksum;
};

static JavaVM* java_vm(void) {
    jint (*created)(JavaVM**, jsize, jsize*) =
        (jint(*)(JavaVM**, jsize, jsize*))dlsym(RTLD_DEFAULT, "JNI_GetCreatedJavaVMs");
    JavaVM* vm = NULL;
    jsize count = 0;
    if (created == NULL || created(&vm, 1, &count) != JNI_OK || count != 1) {
        return NULL;
    }
    return vm;
}

static int64_t now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (int64_t)t.tv_sec * 1000000000 + t.tv_nsec;
}

static void* run_calls(void* context) {
    struct Run* run = context;
    JavaVM* vm = java_vm();
    void* env = NULL;
    if (run->attach &&
        (vm == NULL || (*vm)->AttachCurrentThreadAsDaemon(vm, &env, NULL) != JNI_OK)) {
        run->nanoseconds = -1;
        return NULL;
    }
    int sum = 0;
    for (int i = 0; i < run->warmUp; ++i) {
        sum += run->cb(i, 1);
    }
    const int64_t start = now();
    for (int i = 0; i < run->calls; ++i) {
        sum += run->cb(i, 1);
    }
    run->nanoseconds = now() - start;
    run->checksum = sum;
    if (run->attach) {
        (*vm)->DetachCurrentThread(vm);
    }
    return NULL;
}

/* Nanoseconds for `calls` calls of cb on a new thread, after `warmUp` untimed ones; -1 when
 * the thread could not be set up. */
int64_t upcall_bench_run(Callback cb, int warmUp, int calls, int attach) {
    struct Run run = {cb, warmUp, calls, attach, -1, 0};
    pthread_t thread;
    if (pthread_create(&thread, NULL, run_calls, &run) != 0) {
        return -1;
    }
    pthread_join(thread, NULL);
    return run.nanoseconds;
}

/* The hand-written JNI upcall: the thread's environment, then a static Java method. */
static JavaVM* jniVm;
static jclass jniClass;
static jmethodID jniMethod;

static int jni_callback(int a, int b) {
    JNIEnv* env = NULL;
    (*jniVm)->GetEnv(jniVm, (void**)&env, JNI_VERSION_1_2);
    return (*env)->CallStaticIntMethod(env, jniClass, jniMethod, a, b);
}

JNIEXPORT jlong JNICALL Java_com_nativio_bench_JniUpcall_prepare(JNIEnv* env, jclass type) {
    (*env)->GetJavaVM(env, &jniVm);
    jniClass = (*env)->NewGlobalRef(env, type);
    jniMethod = (*env)->GetStaticMethodID(env, type, "cb", "(II)I");
    return (jlong)(intptr_t)jni_callback;
}
