#include "messaging/AlertCountMessage.h"

#include "app/VTUtils.h"

std::optional<qint64> AlertCountMessage::count() const {
    const auto first = tokenAt(0);
    if (!first || first->isEmpty()) {
        return std::nullopt;
    }
    return VTUtils::integerValue(*first);
}
