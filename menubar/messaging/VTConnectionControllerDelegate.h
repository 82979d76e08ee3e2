#pragma once

#include <QtGlobal>

class VTConnection;

// What the connection supervisor reports to the application controller.
class VTConnectionControllerDelegate {
  public:
    virtual ~VTConnectionControllerDelegate() = default;
    virtual void willCreateNewConnection() = 0;
    virtual void newConnectionCreated(VTConnection* connection) = 0;
    virtual void onUnableToConnect(qint64 attempts) = 0;
};
