#include "src/JavaInvocation.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "src/BlockBuffer.h"
#include "src/JavaExceptions.h"
#include "src/NativeInvoker.h"

namespace nativio {

namespace {

// The fault report lists the block as 32-bit words in a text of at most 255 characters.
constexpr size_t kReportedWords = 28;
// Seldom the last byte of a block, which mostly ends in the high byte of a little-endian value.
constexpr uint8_t kCopySentinel = 0xa5;

}  // namespace

JavaInvocation::JavaInvocation(JNIEnv* env, jbyteArray block, jint size, jint returnSize,
                               jint flags)
    : env_(env), block_(block), size_(size), returnSize_(returnSize), flags_(flags) {}

bool JavaInvocation::sizesAreSound() const {
    return block_ != nullptr && size_ >= 0 && returnSize_ >= 0 && returnSize_ <= size_;
}

void JavaInvocation::invoke(const void* function) {
    if (!sizesAreSound()) {
        JavaExceptions::raise(env_, JavaExceptions::kFunctionExecution,
                              JavaExceptions::kMalformedBlock);
        return;
    }
    BlockBuffer buffer(static_cast<size_t>(size_));
    if (buffer.data() == nullptr) {
        JavaExceptions::raise(env_, JavaExceptions::kFunctionExecution,
                              "Cannot allocate stack buffer");
        return;
    }
    // The copy checks the size against the array's length. A failed copy writes nothing, so a
    // last byte that differs from the one placed there beforehand proves the copy happened;
    // only when it matches is the JVM asked (one JNI call more, which most calls save).
    uint8_t* const last = size_ > 0 ? buffer.data() + size_ - 1 : nullptr;
    if (last != nullptr) {
        *last = kCopySentinel;
    }
    env_->GetByteArrayRegion(block_, 0, size_, reinterpret_cast<jbyte*>(buffer.data()));
    if ((last == nullptr || *last == kCopySentinel) && env_->ExceptionCheck()) {
        env_->ExceptionClear();
        JavaExceptions::raise(env_, JavaExceptions::kFunctionExecution,
                              JavaExceptions::kMalformedBlock);
        return;
    }
    NativeInvoker call(function, buffer.data(), static_cast<size_t>(size_),
                       static_cast<size_t>(returnSize_), static_cast<uint32_t>(flags_));
    char text[64];
    switch (call.invoke()) {
        case NativeInvoker::Status::kDone:
            if (returnSize_ > 0) {
                env_->SetByteArrayRegion(block_, 0, returnSize_,
                                         reinterpret_cast<const jbyte*>(buffer.data()));
            }
            return;
        case NativeInvoker::Status::kMalformed:
            JavaExceptions::raise(env_, JavaExceptions::kFunctionExecution,
                                  JavaExceptions::kMalformedBlock);
            return;
        case NativeInvoker::Status::kNullAddress:
            std::snprintf(text, sizeof(text), "invalid (address=0x%" PRIxPTR ")",
                          reinterpret_cast<uintptr_t>(function));
            JavaExceptions::raise(env_, JavaExceptions::kFunctionExecution, text);
            return;
        case NativeInvoker::Status::kFault:
            reportFault(buffer.data());
            std::snprintf(text, sizeof(text), "%08x", static_cast<unsigned>(call.faultCode()));
            JavaExceptions::raise(env_, JavaExceptions::kFunctionExecution, text);
            return;
    }
}

void JavaInvocation::reportFault(const unsigned char* block) const {
    std::string words;
    const size_t count = static_cast<size_t>(size_) / 4;
    for (size_t i = 0; i < count && i < kReportedWords; ++i) {
        uint32_t word = 0;
        std::memcpy(&word, block + 4 * i, sizeof(word));
        char hex[10];
        std::snprintf(hex, sizeof(hex), "%s%08x", i == 0 ? "" : ",", word);
        words += hex;
    }
    std::fprintf(stderr, "Native function stack data: %s\n", words.c_str());
}

}  // namespace nativio
