#pragma once

class AlertCountMessage;
class AppStateMessage;
class BackupStatsSummaryMessage;
class CommandTrayResponseMessage;
class ComputerConnectedMessage;
class ComputerDisconnectedMessage;
class ComputersMessage;
class ShutdownMessage;
class StatsMessage;
class StatusTrayMessage;
class TrayPopupMessage;
class WebLoginKeyTrayResponseMessage;

// Receives each incoming message as its own type (VTMessageCatalogue::deliver builds it);
// the types a handler does not act on are passed over.
class VTIncomingMessageHandler {
  public:
    virtual ~VTIncomingMessageHandler() = default;
    virtual void handle(AlertCountMessage&) {}
    virtual void handle(AppStateMessage&) {}
    virtual void handle(BackupStatsSummaryMessage&) {}
    virtual void handle(CommandTrayResponseMessage&) {}
    virtual void handle(ComputerConnectedMessage&) {}
    virtual void handle(ComputerDisconnectedMessage&) {}
    virtual void handle(ComputersMessage&) {}
    virtual void handle(ShutdownMessage&) {}
    virtual void handle(StatsMessage&) {}
    virtual void handle(StatusTrayMessage&) {}
    virtual void handle(TrayPopupMessage&) {}
    virtual void handle(WebLoginKeyTrayResponseMessage&) {}
};
