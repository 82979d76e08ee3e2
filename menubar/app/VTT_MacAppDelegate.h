#pragma once

#include <QObject>

#include "app/VTLoggingObject.h"

class MasterControlProgram;

// Starts the controller once the event loop runs, and lets the application end at once.
class VTT_MacAppDelegate : public VTLoggingObject {
    Q_OBJECT
  public:
    explicit VTT_MacAppDelegate(MasterControlProgram* mcp, QObject* parent = nullptr);

    void applicationDidFinishLaunching();
    void applicationShouldTerminate();

  private:
    MasterControlProgram* mcp_;
};
