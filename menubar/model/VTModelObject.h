#pragma once

#include <QMetaMethod>
#include <array>
#include <atomic>
#include <cstdint>

#include "app/VTLoggingObject.h"

// Base of the model's objects. It notes every signal of the object that anything connects to,
// however it connects (QObject::connect in every form, QMetaObject::connect, QSignalSpy), and
// never forgets one: a signal nobody ever listened to need not be emitted, which matters
// because a statistics update runs thousands of setters whose announcements no view receives,
// and Qt's dispatch of an announcement costs more than the rest of such a setter.
class VTModelObject : public VTLoggingObject {
    Q_OBJECT
  public:
    explicit VTModelObject(QObject* parent = nullptr) : VTLoggingObject(parent) {}

    // Whether anything ever connected to the signal of that method index.
    bool isSignalHeard(int methodIndex) const {
        if (methodIndex < 0 || methodIndex >= kNotedMethods) {
            return true;
        }
        const uint64_t bit = uint64_t{1} << (methodIndex % 64);
        return (heard_[methodIndex / 64].load(std::memory_order_relaxed) & bit) != 0;
    }

  protected:
    void connectNotify(const QMetaMethod& signal) override;

  private:
    // Signals beyond these method indices count as heard.
    static constexpr int kNotedMethods = 256;
    // Atomic, as connections may be made from other threads than the one that emits.
    std::array<std::atomic<uint64_t>, kNotedMethods / 64> heard_{};
};
