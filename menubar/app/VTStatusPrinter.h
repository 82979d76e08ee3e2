#pragma once

#include <QObject>
#include <QTextStream>

class MasterControlProgram;
class VTVaultorState;

// The headless client's view: one line on standard output per update of the state (and per
// change of the problem line), so that scripts and tests can follow what the tray would show.
class VTStatusPrinter : public QObject {
    Q_OBJECT
  public:
    VTStatusPrinter(VTVaultorState* state, MasterControlProgram* mcp, QObject* parent = nullptr);

    // The line for the state as it is now.
    static QString statusLine(VTVaultorState& state);

  private:
    void print(const QString& line);

    VTVaultorState* state_;
    MasterControlProgram* mcp_;
    QTextStream out_;
};
