#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/system/ZedMountTable.h"

// The process's mount table, kept open so that the kernel can say when it changes.
class ZedMountWatch {
  public:
    ZedMountWatch();
    ~ZedMountWatch();
    ZedMountWatch(const ZedMountWatch&) = delete;
    ZedMountWatch& operator=(const ZedMountWatch&) = delete;

    // For a reader thread: readable with POLLPRI after each change. -1 when the table is closed
    // to this process.
    int fd() const { return fd_; }
    // Whether the table changed since the kernel last said so, without waiting.
    bool changed() const;
    std::vector<ZedMountTable::Mount> read() const;

    // The mount points strictly inside `root`.
    static std::set<std::string> inside(const std::vector<ZedMountTable::Mount>& mounts,
                                        const std::string& root);

  private:
    int fd_;
};
