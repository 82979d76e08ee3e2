#pragma once

#include <jni.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace nativio {

// The runnables posted to the main thread, which is the first thread that serves the queue.
class MainThreadQueue {
  public:
    static MainThreadQueue& instance();

    // Runs `runnable` on the main thread: at once when called there, else posted (and, with
    // `wait`, returns once it has run). The runnable is a local or global reference of the
    // caller; the queue keeps its own global reference.
    void run(JNIEnv* env, jobject runnable, bool wait);
    // Serves the queue once on the calling thread; false when that thread is not the main
    // thread.
    bool serveOne(JNIEnv* env);

  private:
    struct Item {
        jobject runnable;  // global reference
        bool* done;        // set (under the mutex) once run, when the poster waits
    };

    bool isMainThread();
    static void runNow(JNIEnv* env, jobject runnable);

    std::mutex mutex_;
    std::condition_variable posted_;
    std::condition_variable finished_;
    std::deque<Item> items_;
    std::optional<std::thread::id> mainThread_;
};

}  // namespace nativio
