#pragma once

#include <QObject>

// Stands in for the status menu when there is no screen. Closed by default; a client asked to
// poll at the menu-open pace opens it whenever the service connection is registered, the way
// a user would open the menu.
class VTHeadlessMenuHandler : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isMenuOpen READ isMenuOpen NOTIFY isMenuOpenChanged)
  public:
    explicit VTHeadlessMenuHandler(QObject* parent = nullptr) : QObject(parent) {}
    bool isMenuOpen() const { return open_; }
    void setOpen(bool open) {
        open_ = open;
        emit isMenuOpenChanged(open);
    }

  signals:
    void isMenuOpenChanged(bool open);

  private:
    bool open_ = false;
};
