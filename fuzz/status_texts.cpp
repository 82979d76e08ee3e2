// The status texts of every row, from any state the documents can produce. The input is the
// row builders' clock, the language (English or German) and a sequence of app-state and
// statistics documents; after each document the status and details texts of every
// destination and source are built, twice, and must come out the same both times.
#include <array>
#include <exception>

#include "messaging/AppStateMessage.h"
#include "messaging/StatsMessage.h"
#include "model/VTVaultorState.h"
#include "support/ClientDocuments.h"
#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"
#include "support/QtFuzzEnvironment.h"
#include "ui/text/VTDestinationStatusTextBuilder.h"
#include "ui/text/VTRowStatusTexts.h"
#include "ui/text/VTSourceStatusTextBuilder.h"
#include "ui/text/VTTranslationLoader.h"

namespace {

// Somewhere in 2023 to 2159: the builders' clock is a real one, never at the edges of 64 bits.
constexpr qint64 kEarliestNow = 1700000000;

std::array<VTComputerStatusTextBuilder*, 2> builders() {
    return {VTDestinationStatusTextBuilder::sharedTextBuilder(),
            VTSourceStatusTextBuilder::sharedTextBuilder()};
}

void useLanguage(bool german) {
    static bool isGerman = false;
    if (german == isGerman) {
        return;
    }
    if (german) {
        VTTranslationLoader::install(QLocale(QLocale::German, QLocale::Germany));
    } else {
        VTTranslationLoader::remove();
    }
    isGerman = german;
}

void apply(const ClientDocuments::Document& document, VTVaultorState& state) {
    try {
        if (document.isAppState) {
            AppStateMessage message;
            message.initWithData(document.text);
            message.applyTo(state);
        } else {
            StatsMessage message;
            message.initWithData(document.text);
            message.applyTo(state);
        }
    } catch (const std::exception&) {
        // Dropped by the dispatch guard, as the client drops it.
    }
}

void buildRowTexts(VTVaultorState& state) {
    for (const VTComputer* computer : state.allComputers()) {
        const VTRowStatusTexts first = VTRowStatusTexts::forComputer(computer, &state);
        const VTRowStatusTexts second = VTRowStatusTexts::forComputer(computer, &state);
        VT_FUZZ_CHECK(first.text == second.text);
        VT_FUZZ_CHECK(first.detailsText == second.detailsText);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QtFuzzEnvironment::setUp();
    for (VTComputerStatusTextBuilder* builder : builders()) {
        builder->setUserDefaults(QtFuzzEnvironment::userDefaults());
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const qint64 now = kEarliestNow + input.takeInteger<quint32>();
    useLanguage((input.takeByte() & 1) != 0);
    for (VTComputerStatusTextBuilder* builder : builders()) {
        builder->setNowFunction([now] { return now; });
    }
    {
        VTVaultorState state(QtFuzzEnvironment::userDefaults());
        for (const ClientDocuments::Document& document : ClientDocuments::documents(input)) {
            apply(document, state);
            buildRowTexts(state);
            QtFuzzEnvironment::finishInput();
        }
        for (VTComputerStatusTextBuilder* builder : builders()) {
            builder->setState(nullptr);
        }
    }
    QtFuzzEnvironment::finishInput();
    return 0;
}
