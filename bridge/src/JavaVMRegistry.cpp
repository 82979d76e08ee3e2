#include "src/JavaVMRegistry.h"

#include <atomic>

#include "include/nativio.h"

namespace nativio {

namespace {

std::atomic<JavaVM*> recordedVM{nullptr};

}  // namespace

void JavaVMRegistry::record(JNIEnv* env) {
    JavaVM* vm = nullptr;
    if (env->GetJavaVM(&vm) == JNI_OK) {
        recordedVM.store(vm);
    }
}

JavaVM* JavaVMRegistry::recorded() {
    return recordedVM.load();
}

}  // namespace nativio

extern "C" jint GetJNIEnv(JNIEnv** env, int* attached) {
    JavaVM* vm = nativio::JavaVMRegistry::recorded();
    if (vm == nullptr || env == nullptr || attached == nullptr) {
        return -1;
    }
    *attached = 0;
    jint status = vm->GetEnv(reinterpret_cast<void**>(env), JNI_VERSION_1_4);
    if (status == JNI_EDETACHED) {
        status = vm->AttachCurrentThread(reinterpret_cast<void**>(env), nullptr);
        *attached = status == JNI_OK ? 1 : 0;
    }
    return status;
}

extern "C" jint DetachCurrentThread(void) {
    JavaVM* vm = nativio::JavaVMRegistry::recorded();
    return vm == nullptr ? -1 : vm->DetachCurrentThread();
}
