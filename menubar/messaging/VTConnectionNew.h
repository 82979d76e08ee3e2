#pragma once

#include "messaging/VTConnection.h"

// The current service protocol: registers through the base tray interface and completes
// registration on the first application-state document.
class VTConnectionNew : public VTConnection {
    Q_OBJECT
  public:
    explicit VTConnectionNew(QObject* parent = nullptr,
                             const std::optional<QStringList>& arguments = std::nullopt);

    bool registerWithVTS() override;
    bool requestStatsUpdate() override;
};
