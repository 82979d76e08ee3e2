#pragma once

#include "app/VTLaunchOnLoginSetting.h"
#include "app/VTLoggingObject.h"

// Carries out the choice of starting the client at login against the user's login items:
// off removes every entry for the client, on leaves an entry for this very program alone and
// otherwise replaces entries for a client of the same name elsewhere by one for this program.
// Applied at every start, so a client moved and started again fixes its entry.
class VTPrefsController : public VTLoggingObject, public VTLaunchOnLoginSetting {
    Q_OBJECT
  public:
    explicit VTPrefsController(QObject* parent = nullptr);

    void setLaunchOnLogin(bool launch) override;
};
