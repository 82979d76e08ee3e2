#pragma once

#include <QString>

// One notice for the user, shown by the desktop outside the client's own windows.
struct VTNotice {
    QString summary;
    QString body;
    // A name of the freedesktop icon naming scheme ("dialog-warning").
    QString iconName;
};

// Where the client's notices go.
class VTNoticeSink {
  public:
    virtual ~VTNoticeSink() = default;
    virtual void showNotice(const VTNotice& notice) = 0;
};
