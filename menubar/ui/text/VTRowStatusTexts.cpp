#include "ui/text/VTRowStatusTexts.h"

#include "model/VTDestination.h"
#include "model/VTSource.h"
#include "ui/text/VTDestinationStatusTextBuilder.h"
#include "ui/text/VTSourceStatusTextBuilder.h"

VTRowStatusTexts VTRowStatusTexts::forComputer(const VTComputer* computer, VTVaultorState* state) {
    VTComputerStatusTextBuilder* builder = nullptr;
    if (qobject_cast<const VTDestination*>(computer)) {
        builder = VTDestinationStatusTextBuilder::sharedTextBuilder();
    } else if (qobject_cast<const VTSource*>(computer)) {
        builder = VTSourceStatusTextBuilder::sharedTextBuilder();
    }
    if (!builder) {
        return {};
    }
    builder->setState(state);
    const QVariantMap texts = builder->buildStatusTextDict(computer->stats());
    return {texts.value(VTComputerStatusTextBuilder::kTextKey).toString(),
            texts.value(VTComputerStatusTextBuilder::kDetailsTextKey).toString()};
}
