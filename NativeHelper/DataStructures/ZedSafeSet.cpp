#include "DataStructures/ZedSafeSet.h"

#include <cstdio>

#include "Dispatch/zed_dispatch_helpers.h"
#include "Logging/ZedLogging/ZedLog.h"

namespace {
constexpr int kLogMask = ZedLogMaskDebug;
}  // namespace

std::shared_ptr<ZedSafeSet> ZedSafeSet::create() {
    std::shared_ptr<ZedSafeSet> safeSet(new ZedSafeSet());
    char label[64];
    std::snprintf(label, sizeof label, "com.zedcorp.CoreLib.ZedSafeSet.<%p>",
                  static_cast<void*>(safeSet.get()));
    safeSet->_queue = zed::dispatch_queue_create(label, ZedDispatchQueueKind::concurrent);
    if (!safeSet->_queue) {
        ZedLogError(kLogMask, ZedLogContextApp, "unable to create internal queue for ZedSafeSet");
        return nullptr;
    }
    return safeSet;
}

// Blocks hold the set weakly, as a block outliving its set must not bring it back. They log under
// the name of the operation they serve.
template <typename Body>
void ZedSafeSet::read(const char* operation, Body body) const {
    std::weak_ptr<const ZedSafeSet> weakSelf = weak_from_this();
    zed::dispatch_sync_to_queue(_queue.get(), [&] {
        auto strongSelf = weakSelf.lock();
        if (!strongSelf) {
            ZedLogErrorIn(operation, kLogMask, ZedLogContextPlatform, "strongSelf is nil");
            return;
        }
        body(strongSelf->_set);
    });
}

template <typename Body>
void ZedSafeSet::write(const char* operation, Body body) {
    std::weak_ptr<ZedSafeSet> weakSelf = weak_from_this();
    zed::dispatch_attempt_barrier_sync_to_queue(_queue.get(), [&] {
        auto strongSelf = weakSelf.lock();
        if (!strongSelf) {
            ZedLogErrorIn(operation, kLogMask, ZedLogContextPlatform, "strongSelf is nil");
            return;
        }
        body(strongSelf->_set);
    });
}

ZedSafeSet::Contents ZedSafeSet::set() const {
    Contents copy;
    read(__func__, [&copy](const Contents& contents) { copy = contents; });
    return copy;
}

bool ZedSafeSet::containsObject(const char* object) const {
    if (!object) {
        ZedLogError(kLogMask, ZedLogContextApp, "object is nil");
        return false;
    }
    bool contained = false;
    read(__func__, [&](const Contents& contents) { contained = contents.count(object) > 0; });
    return contained;
}

std::vector<std::string> ZedSafeSet::allObjects() const {
    std::vector<std::string> objects;
    read(__func__, [&objects](const Contents& contents) {
        objects.assign(contents.begin(), contents.end());
    });
    return objects;
}

std::string ZedSafeSet::description() const {
    std::string text = "{(";
    read(__func__, [&text](const Contents& contents) {
        const char* separator = "";
        for (const auto& object : contents) {
            text += separator + object;
            separator = ", ";
        }
    });
    return text + ")}";
}

std::size_t ZedSafeSet::count() const {
    std::size_t size = 0;
    read(__func__, [&size](const Contents& contents) { size = contents.size(); });
    return size;
}

void ZedSafeSet::addObject(const char* object) {
    if (!object) {
        ZedLogError(kLogMask, ZedLogContextApp, "object is nil");
        return;
    }
    write(__func__, [object](Contents& contents) { contents.insert(object); });
}

void ZedSafeSet::removeObject(const char* object) {
    if (!object) {
        ZedLogError(kLogMask, ZedLogContextApp, "object is nil");
        return;
    }
    write(__func__, [object](Contents& contents) { contents.erase(object); });
}

void ZedSafeSet::addObjects(const std::vector<std::string>& objects) {
    if (objects.empty()) {
        ZedLogError(kLogMask, ZedLogContextApp, "objects is nil or empty");
        return;
    }
    write(__func__,
          [&objects](Contents& contents) { contents.insert(objects.begin(), objects.end()); });
}

void ZedSafeSet::unionSet(const Contents& otherSet) {
    if (otherSet.empty()) {
        ZedLogError(kLogMask, ZedLogContextApp, "otherSet is nil or empty");
        return;
    }
    write(__func__,
          [&otherSet](Contents& contents) { contents.insert(otherSet.begin(), otherSet.end()); });
}

void ZedSafeSet::minusSet(const Contents& otherSet) {
    if (otherSet.empty()) {
        ZedLogError(kLogMask, ZedLogContextApp, "otherSet is nil or empty");
        return;
    }
    write(__func__, [&otherSet](Contents& contents) {
        for (const auto& object : otherSet) {
            contents.erase(object);
        }
    });
}

void ZedSafeSet::intersectSet(const Contents& otherSet) {
    write(__func__, [&otherSet](Contents& contents) {
        std::erase_if(contents, [&otherSet](const std::string& object) {
            return otherSet.count(object) == 0;
        });
    });
}

void ZedSafeSet::removeAllObjects() {
    write(__func__, [](Contents& contents) { contents.clear(); });
}
