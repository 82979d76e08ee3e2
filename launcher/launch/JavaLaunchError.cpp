#include "launch/JavaLaunchError.h"

#include <utility>

#include "launch/LocalizedStrings.h"

namespace {

const char* reasonKey(JavaLaunchError::Cause cause) {
    switch (cause) {
        case JavaLaunchError::Cause::Locate:
            return "JRELocateError";
        case JavaLaunchError::Cause::Load:
            return "JREDLError";
        case JavaLaunchError::Cause::EntryPoint:
            return "JRELoadError";
    }
    return "";
}

std::string reasonFor(JavaLaunchError::Cause cause) {
    return LocalizedStrings::localizedString(reasonKey(cause));
}

std::string describe(const std::string& reason, const std::string& detail) {
    return std::string(JavaLaunchError::name()) + ": " + reason + " (" + detail + ")";
}

}  // namespace

JavaLaunchError::JavaLaunchError(Cause cause, std::string detail)
    : std::runtime_error(describe(reasonFor(cause), detail)),
      cause_(cause),
      reason_(reasonFor(cause)),
      detail_(std::move(detail)) {}

int JavaLaunchError::exitStatus() const {
    switch (cause_) {
        case Cause::Locate:
            return kLocateStatus;
        case Cause::Load:
            return kLoadStatus;
        case Cause::EntryPoint:
            return kEntryPointStatus;
    }
    return kLocateStatus;
}
