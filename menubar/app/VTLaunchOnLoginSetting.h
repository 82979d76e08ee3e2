#pragma once

// Carries out the user's choice of starting the client at login.
class VTLaunchOnLoginSetting {
  public:
    virtual ~VTLaunchOnLoginSetting() = default;
    virtual void setLaunchOnLogin(bool launch) = 0;
};
