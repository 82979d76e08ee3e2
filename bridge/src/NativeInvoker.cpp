#include "src/NativeInvoker.h"

#include "src/ArgumentBlockParser.h"
#include "src/ArgumentMarshaller.h"
#include "src/CallFrameBuilder.h"
#include "src/NativeCallFrame.h"
#include "src/ReturnClassifier.h"
#include "src/SEHGuard.h"

namespace nativio {

NativeInvoker::NativeInvoker(const void* function, uint8_t* block, size_t size, size_t returnSize,
                             uint32_t flags)
    : function_(function), block_(block), size_(size), returnSize_(returnSize), flags_(flags) {}

NativeInvoker::Status NativeInvoker::invoke() {
    faultCode_ = SEHGuard::run(&NativeInvoker::perform, this);
    if (faultCode_ != 0) {
        status_ = Status::kFault;
    }
    return status_;
}

// Runs under the fault guard, so everything here lives on the stack without destructors.
void NativeInvoker::perform(void* self) {
    auto& invoker = *static_cast<NativeInvoker*>(self);
    if (!invoker.performIn<kSmallStackArea>()) {
        invoker.performIn<kStackAreaSize>();
    }
}

template <size_t Capacity>
[[gnu::noinline]] bool NativeInvoker::performIn() {
    // Neither is cleared: the builder fills what the call uses, and a register the callee
    // does not read may hold anything.
    alignas(16) uint8_t stackArea[Capacity];
    NativeCallFrame frame;
    CallFrameBuilder builder(frame, stackArea, Capacity);
    const ReturnClassifier result(returnSize_, flags_);
    if (result.kind() == ReturnKind::kMemory) {
        builder.addInteger(reinterpret_cast<uintptr_t>(block_));
    }
    ArgumentBlockParser parser(block_, size_, returnSize_);
    if (!ArgumentMarshaller(parser, builder).marshal()) {
        if (builder.overflowed() && Capacity < kStackAreaSize) {
            return false;
        }
        status_ = Status::kMalformed;
        return true;
    }
    if (function_ == nullptr) {
        status_ = Status::kNullAddress;
        return true;
    }
    frame.function = function_;
    nativio_call(&frame);
    result.store(frame, block_);
    status_ = Status::kDone;
    return true;
}

}  // namespace nativio
