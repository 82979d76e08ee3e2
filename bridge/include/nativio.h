// Plain C exports of libnativio besides its JNI entry points.
#ifndef NATIVIO_H
#define NATIVIO_H

#include <jni.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define NATIVIO_EXPORT __attribute__((visibility("default")))

// Executes CPUID for the leaf in *eax (sub-leaf in *ecx) and returns the four result
// registers through the same arguments; *ebxLowByte receives the low byte of EBX.
NATIVIO_EXPORT void callCPUID(uint32_t* eax, uint32_t* ebx, uint32_t* ecx, uint32_t* edx,
                              uint16_t* ebxLowByte);

// Time-stamp counter ticks per microsecond, measured over a little more than 100 ms.
NATIVIO_EXPORT uint64_t retrieveProcessorFrequency(void);

// Gives the calling thread's JNI environment, attaching the thread to the recorded VM when it
// was detached (then *attached is set to 1). Returns -1 when no VM has been recorded yet.
NATIVIO_EXPORT jint GetJNIEnv(JNIEnv** env, int* attached);

// Detaches the calling thread from the recorded VM.
NATIVIO_EXPORT jint DetachCurrentThread(void);

#ifdef __cplusplus
}
#endif

#endif
