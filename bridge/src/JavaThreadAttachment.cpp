#include "src/JavaThreadAttachment.h"

namespace nativio {

JavaThreadAttachment::JavaThreadAttachment(JavaVM* vm) : vm_(vm) {
    if (vm == nullptr) {
        return;
    }
    void* env = nullptr;
    jint status = vm->GetEnv(&env, JNI_VERSION_1_2);
    if (status == JNI_EDETACHED) {
        status = vm->AttachCurrentThread(&env, nullptr);
        attachedHere_ = status == JNI_OK;
    }
    if (status == JNI_OK) {
        env_ = static_cast<JNIEnv*>(env);
    }
}

JavaThreadAttachment::~JavaThreadAttachment() {
    if (attachedHere_) {
        vm_->DetachCurrentThread();
    }
}

bool reportPendingException(JNIEnv* env) {
    if (!env->ExceptionCheck()) {
        return false;
    }
    env->ExceptionDescribe();
    env->ExceptionClear();
    return true;
}

}  // namespace nativio
