#pragma once

#include <QStringList>
#include <optional>

#include "app/VTLoggingObject.h"

// Finds and reads the service's endpoint file "Vaultor/.ui_info": "port,token[,address]".
// Nothing is cached: the service may rewrite the file between two calls.
class VTUIInfo : public VTLoggingObject {
    Q_OBJECT
  public:
    static VTUIInfo* sharedInstance();

    // The per-user data folder first, then the machine-wide ones.
    static QStringList candidateFolders();

    std::optional<QString> uiInfoPath() const;
    std::optional<QStringList> readUIInfo() const;
    qint64 port() const;  // -1 when there are no fields
    std::optional<QString> token() const;
    std::optional<QString> ipAddress() const;

  private:
    VTUIInfo() = default;
    std::optional<QString> field(qsizetype index) const;
};
