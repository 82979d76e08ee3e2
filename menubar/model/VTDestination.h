#pragma once

#include "model/VTComputer.h"
#include "model/VTDestinationStats.h"

// A computer this one backs up to. It keeps one statistics object for its whole life.
class VTDestination : public VTComputer {
    Q_OBJECT
    Q_PROPERTY(VTDestinationStats* stats READ stats CONSTANT)
  public:
    explicit VTDestination(qint64 GUID, QObject* parent = nullptr);

    VTDestinationStats* stats() const override { return stats_; }

  private:
    VTDestinationStats* stats_;
};
