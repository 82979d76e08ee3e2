#include "model/VTModelObject.h"

void VTModelObject::connectNotify(const QMetaMethod& signal) {
    VTLoggingObject::connectNotify(signal);
    const int index = signal.methodIndex();
    if (index < 0 || index >= kNotedMethods) {
        return;  // counts as heard anyway
    }
    heard_[index / 64].fetch_or(uint64_t{1} << (index % 64), std::memory_order_relaxed);
}
