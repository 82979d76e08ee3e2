#pragma once

#include <string>

#include "platform/system/ZedPlatformSources.h"

// The proxy auto-configuration answer and the storage it points into, overwritten by the next
// answer.
class ZedProxyInfo {
  public:
    explicit ZedProxyInfo(const ZedPlatformSources& sources) : _sources(sources) {}

    // {address, null} when GNOME's or else KDE's settings name one, else {null, null}.
    char** getProxyAutoconfigURLs();

  private:
    const ZedPlatformSources& _sources;
    std::string _url;
    char* _result[2] = {};
};
