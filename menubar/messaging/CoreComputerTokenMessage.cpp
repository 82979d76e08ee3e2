#include "messaging/CoreComputerTokenMessage.h"

#include "app/VTUtils.h"

std::optional<qint64> CoreComputerTokenMessage::computerID() const {
    const auto first = tokenAt(0);
    if (!first || first->isEmpty()) {
        return std::nullopt;
    }
    return VTUtils::integerValue(*first);
}
