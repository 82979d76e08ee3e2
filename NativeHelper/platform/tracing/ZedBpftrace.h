#pragma once

#include <string>

#include "platform/tracing/ZedTracer.h"

// bpftrace as the detector's tracing tool. It needs the privileges to load BPF programs and the
// tracing file system for the syscall tracepoints; where tracefs is not mounted and this
// process may mount it, it is mounted at /sys/kernel/tracing.
class ZedBpftrace : public ZedTracer {
  public:
    std::string missingPrerequisite() override;
    std::optional<Command> commandFor(const std::vector<std::string>& processNames,
                                      const Refusal& refused) override;
    std::size_t longestWholePath() const override;

  private:
    std::string program_;  // found by missingPrerequisite
};
