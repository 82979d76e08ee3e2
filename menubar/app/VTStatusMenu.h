#pragma once

// What the client asks of the status menu's controller.
class VTStatusMenu {
  public:
    virtual ~VTStatusMenu() = default;
    // Fits each row's details button to its text (after every applied statistics update).
    virtual void resizeDetailsTextButtons() = 0;
    // Lays the rows out again (a second after the connection was lost).
    virtual void refreshComputerViews() = 0;
};
