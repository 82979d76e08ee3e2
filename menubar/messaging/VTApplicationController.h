#pragma once

#include <QtGlobal>

// What the message handler asks of the application controller.
class VTApplicationController {
  public:
    virtual ~VTApplicationController() = default;
    virtual void onDestinationsChanged(quint64 count) = 0;
    virtual void switchToLegacyMessaging() = 0;
};
