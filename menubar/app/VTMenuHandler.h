#pragma once

#include "app/VTLoggingObject.h"

// What the rest of the client asks of the status menu's handler: whether the menu is open,
// announced on every change, and the play/pause of one destination.
class VTMenuHandler : public VTLoggingObject {
    Q_OBJECT
    Q_PROPERTY(bool isMenuOpen READ isMenuOpen NOTIFY isMenuOpenChanged)
  public:
    using VTLoggingObject::VTLoggingObject;

    virtual bool isMenuOpen() const = 0;
    virtual void playPauseComputerToggled(qint64 guid) = 0;

  signals:
    void isMenuOpenChanged(bool open);
};
