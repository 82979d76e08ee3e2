#pragma once

#include <optional>

#include "model/VTDictUpdatable.h"

// A model object with an identity (UID) and a hash made from it and a per-class prime, so that
// two objects of one kind with the same GUID or set ID are the same member of a set.
class VTUnique : public VTDictUpdatable {
    Q_OBJECT
  public:
    explicit VTUnique(QObject* parent = nullptr) : VTDictUpdatable(parent) {}

    // The identity; none for an object without one.
    virtual std::optional<qint64> UID() const { return std::nullopt; }
    // (h + 1) * prime with h the UID, divided by 1000 when above 100000. Throws
    // VTBadHashException (after a severe log line) when the prime or the UID is missing or 0.
    quint64 hash() const;
    // Same object, or an object of this class (or a subclass) with an equal UID.
    bool isEqual(const QObject* other) const;
    bool VT_isEqualToVTUnique(const VTUnique* other) const;

    quint64 prime() const { return prime_; }

  protected:
    // Each concrete class sets its prime in its constructor; the most derived one wins.
    void setPrime(quint64 prime) { prime_ = prime; }

  private:
    quint64 prime_ = 0;
};

// Hash and equality of model objects held by pointer in standard containers.
struct VTUniqueHash {
    std::size_t operator()(const VTUnique* object) const { return object->hash(); }
};
struct VTUniqueEqual {
    bool operator()(const VTUnique* a, const VTUnique* b) const { return a->isEqual(b); }
};
