#include "Logging/ZedLogging/ZedLogWords.h"

#include "Logging/ZedLogging/ZedLogFlags.h"

namespace ZedLogWords {

std::string supportWord(int flag) {
    switch (flag) {
        case ZedLogFlagFatal:
            return "FATAL";
        case ZedLogFlagError:
            return "ERROR";
        case ZedLogFlagWarning:
            return "WARN";
        case ZedLogFlagNotice:
            return "NOTICE";
        case ZedLogFlagInfo:
            return "INFO";
        case ZedLogFlagDebug:
            return "DEBUG";
        default:
            return "?????";
    }
}

std::string developerTag(int flag) {
    switch (flag) {
        case ZedLogFlagFatal:
            return "F FATAL";
        case ZedLogFlagError:
            return "E !!!!!";
        case ZedLogFlagWarning:
            return "W * * *";
        case ZedLogFlagNotice:
            return "N - - -";
        case ZedLogFlagInfo:
            return "I      ";
        case ZedLogFlagDebug:
            return "D      ";
        default:
            return "? ?????";
    }
}

std::string restoreLetter(int levelMask) {
    switch (levelMask) {
        case ZedLogMaskFatal:
            return "F";
        case ZedLogMaskError:
            return "E";
        case ZedLogMaskWarning:
            return "W";
        case ZedLogMaskNotice:
            return "N";
        case ZedLogMaskInfo:
            return "I";
        case ZedLogMaskDebug:
            return "D";
        default:
            return "?????";
    }
}

std::string categoryWord(int context) {
    switch (context) {
        case ZedLogContextApp:
            return "APP";
        case ZedLogContextPeer:
            return "PEER";
        case ZedLogContextMessage:
            return "MSG";
        case ZedLogContextUI:
            return "UI";
        case ZedLogContextDatabase:
            return "DB";
        case ZedLogContextFile:
            return "FILE";
        case ZedLogContextLifecycle:
            return "LC";
        case ZedLogContextPlatform:
            return "PLAT";
        case ZedLogContextNetwork:
            return "NET";
        case ZedLogContextCrypto:
            return "CRYPT";
        case ZedLogContextNone:
            return "-";
        default:
            return "???";
    }
}

}  // namespace ZedLogWords
