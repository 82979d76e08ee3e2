#pragma once

#include "model/VTComputer.h"
#include "model/VTSourceStats.h"

// A computer that backs up to this one. It keeps one statistics object for its whole life.
class VTSource : public VTComputer {
    Q_OBJECT
    Q_PROPERTY(VTSourceStats* stats READ stats CONSTANT)
  public:
    explicit VTSource(qint64 GUID, QObject* parent = nullptr);

    VTSourceStats* stats() const override { return stats_; }

  private:
    VTSourceStats* stats_;
};
