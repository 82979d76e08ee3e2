// The common dispatcher of every callback thunk: from the registers a C caller passed, through
// the Java callback object, back to the registers the caller expects.
#include <jni.h>

#include <cstdio>
#include <cstring>

#include "src/BlockBuffer.h"
#include "src/CallbackArguments.h"
#include "src/CallbackFrame.h"
#include "src/CallbackMetaParser.h"
#include "src/JavaExceptions.h"
#include "src/JavaThreadAttachment.h"
#include "src/JavaVMRegistry.h"
#include "src/ReturnClassifier.h"
#include "src/SEHGuard.h"
#include "src/ThunkPool.h"

namespace nativio {

namespace {

constexpr const char* kMalformedCallback =
    "Callback parameter types or their count are not correct";

uint64_t eightbyteAt(const uint8_t* result, size_t index, size_t size) {
    uint64_t value = 0;
    const size_t start = index * 8;
    if (start < size) {
        std::memcpy(&value, result + start, size - start < 8 ? size - start : 8);
    }
    return value;
}

// Loads the result registers (or the caller's return area) by return kind. A null result, as
// after a failure, gives the caller zero.
void deliverResult(CallbackFrame& frame, const CallbackMetaParser& meta, uint64_t resultArea,
                   const uint8_t* result) {
    frame.rax = frame.rdx = frame.xmm0 = frame.xmm1 = 0;
    const size_t size = meta.returnSize();
    const auto kind = static_cast<ReturnKind>(meta.returnKind());
    if (kind == ReturnKind::kMemory) {
        auto* area = reinterpret_cast<uint8_t*>(resultArea);
        if (result != nullptr) {
            std::memcpy(area, result, size);
        } else {
            std::memset(area, 0, size);
        }
        frame.rax = resultArea;
        return;
    }
    if (result == nullptr) {
        return;
    }
    const uint64_t first = eightbyteAt(result, 0, size);
    const uint64_t second = eightbyteAt(result, 1, size);
    switch (kind) {
        case ReturnKind::kInteger:
        case ReturnKind::kEightbyte:
            frame.rax = first;
            break;
        case ReturnKind::kFloat:
        case ReturnKind::kDouble:
            frame.xmm0 = first;
            break;
        case ReturnKind::kVectorInteger:
            frame.xmm0 = first;
            frame.rax = second;
            break;
        case ReturnKind::kIntegerVector:
            frame.rax = first;
            frame.xmm0 = second;
            break;
        case ReturnKind::kVectorVector:
            frame.xmm0 = first;
            frame.xmm1 = second;
            break;
        case ReturnKind::kIntegerInteger:
            frame.rax = first;
            frame.rdx = second;
            break;
        case ReturnKind::kMemory:
            break;
    }
}

void zeroResult(CallbackFrame& frame) {
    frame.rax = frame.rdx = frame.xmm0 = frame.xmm1 = 0;
}

// The Java part of one callback. A failure is reported on standard error and gives the
// caller a zero result.
void serve(JNIEnv* env, CallbackFrame& frame) {
    const ThunkData data = ThunkPool::dataOf(frame.thunk);
    const auto target = static_cast<jobject>(data.target);
    const auto length = static_cast<jint>(data.parametersLength);
    const auto meta = reinterpret_cast<jlong>(data.meta);
    const auto slotBytes = static_cast<size_t>(length < 0 ? 0 : length);
    CallbackMetaParser parser(reinterpret_cast<const uint8_t*>(meta),
                              CallbackMetaParser::recordLimit(slotBytes), slotBytes);
    // Known before the parameters are read, which may still find the record malformed.
    const bool inMemory =
        parser.headerIsSound() && parser.returnKind() == static_cast<uint64_t>(ReturnKind::kMemory);
    CallbackArguments arguments(frame, inMemory);
    // The slots, then room for the result: 8 bytes, or a larger result's whole size.
    const size_t resultRoom = parser.returnSize() > 8 ? (parser.returnSize() + 7) / 8 * 8 : 8;
    BlockBuffer buffer(slotBytes + resultRoom);
    if (buffer.data() == nullptr) {
        JavaExceptions::raise(env, "java/lang/OutOfMemoryError",
                              "Could not allocate callback stack");
    } else if (length < 0 || meta == 0 || !parser.headerIsSound() ||
               !arguments.copy(parser, buffer.data())) {
        JavaExceptions::raise(env, JavaExceptions::kFunctionExecution, kMalformedCallback);
    }
    if (reportPendingException(env)) {
        if (inMemory) {
            deliverResult(frame, parser, arguments.resultArea(), nullptr);
        } else {
            zeroResult(frame);
        }
        return;
    }
    std::memset(buffer.data() + slotBytes, 0, resultRoom);
    jvalue entered[2];
    entered[0].j = reinterpret_cast<jlong>(buffer.data());
    entered[1].i = length;
    const jlong result =
        env->CallLongMethodA(target, static_cast<jmethodID>(data.enterPoint), entered);
    const bool failed = reportPendingException(env);
    if (!failed && result == 0 && parser.returnKind() != CallbackMetaParser::kNoResult) {
        std::fputs("nativio: a callback's enterPoint gave no result; the caller gets zero\n",
                   stderr);
    }
    deliverResult(frame, parser, arguments.resultArea(),
                  failed ? nullptr : reinterpret_cast<const uint8_t*>(result));
}

}  // namespace

}  // namespace nativio

extern "C" void nativio_callback_dispatch(nativio::CallbackFrame* frame) {
    using namespace nativio;
    // Unarmed: while Java runs, the JVM's own faults (null checks, safepoint polls, stack
    // banging) must reach the JVM, even when an armed guard of an outer native call waits.
    SEHGuard unarmed;
    JavaThreadAttachment attachment(JavaVMRegistry::recorded());
    if (attachment.env() == nullptr) {
        std::fputs("nativio: a callback arrived on a thread that cannot reach the Java VM\n",
                   stderr);
        zeroResult(*frame);
        return;
    }
    serve(attachment.env(), *frame);
}
