#pragma once

#include "app/VTMenuHandler.h"

// Stands in for the status menu when there is no screen. Closed by default; a client asked to
// poll at the menu-open pace opens it whenever the service connection is registered, the way
// a user would open the menu. It has no rows, so no destination is ever toggled from it.
class VTHeadlessMenuHandler : public VTMenuHandler {
    Q_OBJECT
  public:
    using VTMenuHandler::VTMenuHandler;
    bool isMenuOpen() const override { return open_; }
    void playPauseComputerToggled(qint64) override {}
    void setOpen(bool open) {
        open_ = open;
        emit isMenuOpenChanged(open);
    }

  private:
    bool open_ = false;
};
