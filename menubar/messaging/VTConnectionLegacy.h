#pragma once

#include "messaging/VTConnection.h"

// The older service protocol: asks for computers, the summary and alerts, and completes
// registration on the first summary. Full and light statistics requests are the same.
class VTConnectionLegacy : public VTConnection {
    Q_OBJECT
  public:
    explicit VTConnectionLegacy(QObject* parent = nullptr,
                                const std::optional<QStringList>& arguments = std::nullopt);

    bool registerWithVTS() override;
    bool requestStatsUpdate() override { return requestStatsUpdateLightweight(); }
};
