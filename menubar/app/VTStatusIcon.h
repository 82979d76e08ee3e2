#pragma once

class VTMenuHandler;

// What the client asks of the tray icon's controller.
class VTStatusIcon {
  public:
    virtual ~VTStatusIcon() = default;
    // Draws the icon for the current state even when it shows the same image as before.
    virtual void forceUpdateIcon() = 0;
    // The icon shows its clicked image while this handler's menu is open.
    virtual void setMenuHandler(VTMenuHandler* handler) = 0;
};
