#include "src/MainThreadQueue.h"

#include "src/JavaThreadAttachment.h"
#include "src/SEHGuard.h"

namespace nativio {

MainThreadQueue& MainThreadQueue::instance() {
    static MainThreadQueue queue;
    return queue;
}

bool MainThreadQueue::isMainThread() {
    std::lock_guard<std::mutex> lock(mutex_);
    return mainThread_ == std::this_thread::get_id();
}

void MainThreadQueue::runNow(JNIEnv* env, jobject runnable) {
    // Unarmed, so that the JVM's own faults in the Java code reach the JVM.
    SEHGuard unarmed;
    jclass type = env->GetObjectClass(runnable);
    jmethodID run = env->GetMethodID(type, "run", "()V");
    env->DeleteLocalRef(type);
    if (run != nullptr) {
        env->CallVoidMethod(runnable, run);
    }
    reportPendingException(env);
}

void MainThreadQueue::run(JNIEnv* env, jobject runnable, bool wait) {
    if (isMainThread()) {
        runNow(env, runnable);
        return;
    }
    jobject reference = env->NewGlobalRef(runnable);
    if (reference == nullptr) {
        return;
    }
    bool done = false;
    std::unique_lock<std::mutex> lock(mutex_);
    items_.push_back({reference, wait ? &done : nullptr});
    posted_.notify_one();
    if (wait) {
        finished_.wait(lock, [&done] { return done; });
    }
}

bool MainThreadQueue::serveOne(JNIEnv* env) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!mainThread_) {
        mainThread_ = std::this_thread::get_id();
    } else if (*mainThread_ != std::this_thread::get_id()) {
        return false;
    }
    posted_.wait(lock, [this] { return !items_.empty(); });
    const Item item = items_.front();
    items_.pop_front();
    lock.unlock();
    runNow(env, item.runnable);
    env->DeleteGlobalRef(item.runnable);
    if (item.done != nullptr) {
        lock.lock();
        *item.done = true;
        finished_.notify_all();
    }
    return true;
}

}  // namespace nativio
