#include "NativeInvoker.h"

#include "ArgumentBlockParser.h"
#include "ArgumentMarshaller.h"
#include "CallFrameBuilder.h"
#include "NativeCallFrame.h"
#include "ReturnClassifier.h"
#include "SEHGuard.h"

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
    alignas(16) uint8_t stackArea[kStackAreaSize];
    NativeCallFrame frame{};
    CallFrameBuilder builder(frame, stackArea, kStackAreaSize);
    const ReturnClassifier result(invoker.returnSize_, invoker.flags_);
    if (result.kind() == ReturnKind::kMemory) {
        builder.addInteger(reinterpret_cast<uintptr_t>(invoker.block_));
    }
    ArgumentBlockParser parser(invoker.block_, invoker.size_, invoker.returnSize_);
    if (!ArgumentMarshaller(parser, builder).marshal()) {
        invoker.status_ = Status::kMalformed;
        return;
    }
    if (invoker.function_ == nullptr) {
        invoker.status_ = Status::kNullAddress;
        return;
    }
    frame.function = invoker.function_;
    nativio_call(&frame);
    result.store(frame, invoker.block_);
    invoker.status_ = Status::kDone;
}

}  // namespace nativio
