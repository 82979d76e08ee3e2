#pragma once

#include <cstddef>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Dispatch/ZedDispatchQueue.h"

// A set of strings that any thread may use: readers share the set's concurrent queue, writers
// run on it as barriers, one at a time. Calling a writer from inside one of the set's own blocks
// raises "BarrierBlockException".
class ZedSafeSet : public std::enable_shared_from_this<ZedSafeSet> {
  public:
    using Contents = std::set<std::string>;

    // An empty set, or null when its queue cannot be made.
    static std::shared_ptr<ZedSafeSet> create();

    ZedSafeSet(const ZedSafeSet&) = delete;
    ZedSafeSet& operator=(const ZedSafeSet&) = delete;

    Contents set() const;
    bool containsObject(const char* object) const;
    std::vector<std::string> allObjects() const;
    std::string description() const;
    std::size_t count() const;

    void addObject(const char* object);
    void removeObject(const char* object);
    void addObjects(const std::vector<std::string>& objects);
    void unionSet(const Contents& otherSet);
    void minusSet(const Contents& otherSet);
    void intersectSet(const Contents& otherSet);
    void removeAllObjects();

  private:
    ZedSafeSet() = default;

    template <typename Body>
    void read(const char* operation, Body body) const;
    template <typename Body>
    void write(const char* operation, Body body);

    Contents _set;
    std::shared_ptr<ZedDispatchQueue> _queue;
};
