#pragma once

// Severities of the library's messages, one bit each, and the masks that select them. A source
// posts a message only when the message's flag is set in that source's mask.
enum ZedLogFlag : int {
    ZedLogFlagFatal = 1,
    ZedLogFlagError = 2,
    ZedLogFlagWarning = 4,
    ZedLogFlagNotice = 8,
    ZedLogFlagInfo = 16,
    ZedLogFlagDebug = 32,
};

enum ZedLogMask : int {
    ZedLogMaskOff = 0,
    ZedLogMaskFatal = 1,
    ZedLogMaskError = 3,
    ZedLogMaskWarning = 7,
    ZedLogMaskNotice = 15,
    ZedLogMaskInfo = 31,
    ZedLogMaskDebug = 63,
};

// Categories (the hub's contexts) of the library's messages.
enum ZedLogContext : int {
    ZedLogContextApp = 1,
    ZedLogContextPeer = 2,
    ZedLogContextMessage = 3,
    ZedLogContextUI = 4,
    ZedLogContextDatabase = 5,
    ZedLogContextFile = 8,
    ZedLogContextLifecycle = 9,
    ZedLogContextPlatform = 10,
    ZedLogContextNetwork = 11,
    ZedLogContextCrypto = 12,
    ZedLogContextNone = 13,
};
