// The service's documents applied to a state through both JSON readers. The input is a
// sequence of app-state and statistics documents; each is applied to one state read by
// simdjson (the client's fast path) and to another with everything read by QJsonDocument.
// After every document the two states must be identical in every property of every object
// they hold, and a document one side refuses the other must refuse too.
#include <exception>
#include <string>

#include "messaging/AppStateMessage.h"
#include "messaging/StatsMessage.h"
#include "model/VTVaultorState.h"
#include "support/ClientDocuments.h"
#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"
#include "support/QtFuzzEnvironment.h"
#include "support/StateSnapshot.h"

namespace {

// Messages read the way every message was read before simdjson.
class QtReadStatsMessage : public StatsMessage {
  public:
    VTJSONObject dictForReading() override { return dict(); }
};
class QtReadAppStateMessage : public AppStateMessage {
  public:
    VTJSONObject dictForReading() override { return dict(); }
};

// Runs one side's update; true when it went through, false when the document was refused.
template <typename Update>
bool applied(Update&& update) {
    try {
        update();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void applyBothWays(const ClientDocuments::Document& document, VTVaultorState& fast,
                   VTVaultorState& reference) {
    bool fastApplied = false;
    bool referenceApplied = false;
    if (document.isAppState) {
        AppStateMessage appState;
        appState.initWithData(document.text);
        fastApplied = applied([&] { appState.applyTo(fast); });
        QtReadAppStateMessage qtRead;
        qtRead.initWithData(document.text);
        referenceApplied = applied([&] { qtRead.applyTo(reference); });
    } else {
        StatsMessage stats;
        stats.initWithData(document.text);
        fastApplied = applied([&] { stats.applyTo(fast); });
        QtReadStatsMessage qtRead;
        qtRead.initWithData(document.text);
        referenceApplied = applied([&] { qtRead.applyTo(reference); });
    }
    VT_FUZZ_CHECK(fastApplied == referenceApplied);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QtFuzzEnvironment::setUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    {
        VTVaultorState fast(QtFuzzEnvironment::userDefaults());
        VTVaultorState reference(QtFuzzEnvironment::userDefaults());
        for (const ClientDocuments::Document& document : ClientDocuments::documents(input)) {
            applyBothWays(document, fast, reference);
            const std::string fastSnapshot = stateSnapshot(fast);
            const std::string referenceSnapshot = stateSnapshot(reference);
            if (fastSnapshot != referenceSnapshot) {
                std::fprintf(stderr, "simdjson read:\n%s\nQJsonDocument read:\n%s\n",
                             fastSnapshot.c_str(), referenceSnapshot.c_str());
            }
            VT_FUZZ_CHECK(fastSnapshot == referenceSnapshot);
            QtFuzzEnvironment::finishInput();
        }
    }
    QtFuzzEnvironment::finishInput();
    return 0;
}
