// Every incoming message type's decoding. The input is a stream of frames as the service sends
// them (real streams from the simulator seed it); each frame is built into its type by ID and
// every accessor of the type is read, then the frame goes through the message handler into a
// state, as the client applies it, one frame after the other. What the decoding must hold:
// the text is the payload's UTF-8 exactly when the payload is UTF-8, tokens joined again give
// the text, and no content, however broken, takes the client down.
#include <QObject>
#include <exception>

#include "messaging/AlertCountMessage.h"
#include "messaging/AppStateMessage.h"
#include "messaging/BackupStatsSummaryMessage.h"
#include "messaging/CommandTrayResponseMessage.h"
#include "messaging/ComputerConnectedMessage.h"
#include "messaging/ComputerDisconnectedMessage.h"
#include "messaging/ComputersMessage.h"
#include "messaging/ShutdownMessage.h"
#include "messaging/StatsMessage.h"
#include "messaging/StatusTrayMessage.h"
#include "messaging/TrayPopupMessage.h"
#include "messaging/VTIncomingMessageHandler.h"
#include "messaging/VTMessageCatalogue.h"
#include "messaging/VTMessageHandler.h"
#include "messaging/WebLoginKeyTrayResponseMessage.h"
#include "model/VTVaultorState.h"
#include "support/ClientDocuments.h"
#include "support/FuzzCheck.h"
#include "support/QtFuzzEnvironment.h"

namespace {

void checkText(const VTStringMessage& message, const QByteArray& payload) {
    const std::optional<QString> decoded = VTStringMessage::decodeUtf8(payload);
    VT_FUZZ_CHECK(message.hasContentString() == decoded.has_value());
    if (decoded) {
        VT_FUZZ_CHECK(message.contentString() == *decoded);
        VT_FUZZ_CHECK(message.contentUtf8() == decoded->toUtf8());
    }
    (void)message.description();
}

void checkTokens(const VTTokenMessage& message, const QByteArray& payload) {
    checkText(message, payload);
    if (message.hasContentString()) {
        VT_FUZZ_CHECK(message.VT_buildTokenString() == message.contentString());
    } else {
        VT_FUZZ_CHECK(message.tokens().isEmpty());
    }
}

// Reads every accessor of the message it is handed.
class AccessorReader : public VTIncomingMessageHandler {
  public:
    explicit AccessorReader(const QByteArray& payload) : payload_(payload) {}

    void handle(AlertCountMessage& message) override {
        checkTokens(message, payload_);
        VT_FUZZ_CHECK(message.hasAlerts() == (message.count().value_or(0) != 0));
    }
    void handle(AppStateMessage& message) override {
        (void)message.alert();
        (void)message.appBaseName();
        (void)message.isProClient();
        (void)message.isUpgrading();
        (void)message.locale();
        (void)message.versionName();
        (void)message.versionNumber();
        (void)message.websiteHost();
        (void)message.os();
        (void)message.thisComputerGUID();
        (void)message.backupSetObjects().items().size();
        (void)message.sources().size();
        (void)message.destinations().size();
        (void)message.otherComputers().size();
        readStatistics(message);
    }
    void handle(BackupStatsSummaryMessage& message) override {
        checkTokens(message, payload_);
        VT_FUZZ_CHECK(message.tokens().size() >= BackupStatsSummary::kTokenCount);
        (void)message.stats().isScanning();
    }
    void handle(CommandTrayResponseMessage& message) override {
        checkText(message, payload_);
        for (const VTCommandTrayResponseResult& result : message.results()) {
            (void)result.errorMsg.size();
        }
    }
    void handle(ComputerConnectedMessage& message) override { readComputer(message); }
    void handle(ComputerDisconnectedMessage& message) override { readComputer(message); }
    void handle(ComputersMessage& message) override {
        checkTokens(message, payload_);
        QObject owner;
        (void)message.computersSet(&owner).items().size();
    }
    void handle(ShutdownMessage& message) override { checkTokens(message, payload_); }
    void handle(StatsMessage& message) override { readStatistics(message); }
    void handle(StatusTrayMessage& message) override {
        checkTokens(message, payload_);
        (void)message.appBaseName();
        (void)message.appName();
        VT_FUZZ_CHECK(message.tokens().size() >= 5 || message.version() == 0);
        (void)message.isUpgrading();  // throws for fewer than two tokens
    }
    void handle(TrayPopupMessage& message) override { checkTokens(message, payload_); }
    void handle(WebLoginKeyTrayResponseMessage& message) override {
        checkText(message, payload_);
        (void)message.key();
        (void)message.computerParam();
    }

  private:
    void readComputer(const CoreComputerTokenMessage& message) {
        checkTokens(message, payload_);
        VT_FUZZ_CHECK(!message.computerID() || !message.tokens().isEmpty());
    }
    void readStatistics(StatsMessage& message) {
        checkText(message, payload_);
        (void)message.destinationStats().objects().size();
        (void)message.sourceStats().objects().size();
        (void)message.restoreStats().objects().size();
        (void)message.resumeSystemTime();
        (void)message.backupStatus();
    }

    const QByteArray& payload_;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QtFuzzEnvironment::setUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto stream = ClientDocuments::wireFrames(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    {
        VTVaultorState state(QtFuzzEnvironment::userDefaults());
        VTMessageHandler handler(nullptr, &state);
        handler.setQuitFunction([](const QString&) {});
        handler.setOpenPageFunction([](const QString&, VTVaultorState*) {});
        for (const ClientDocuments::Frame& frame : stream.frames) {
            AccessorReader reader(frame.payload);
            try {
                VTMessageCatalogue::deliver(frame.msgID, frame.payload, reader);
            } catch (const std::exception&) {
                // Content the type cannot read: the dispatch guard drops such a message.
            }
            handler.messageReceived(frame.payload, frame.msgID);
        }
    }
    QtFuzzEnvironment::finishInput();
    return 0;
}
