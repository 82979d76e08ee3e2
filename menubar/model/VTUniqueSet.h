#pragma once

#include <QList>
#include <unordered_set>

#include "model/VTUnique.h"

// A set of model objects by identity (VTUnique hash and equality), kept in insertion order so
// that walks over it are repeatable. It holds pointers; ownership stays with the caller.
template <typename T>
class VTUniqueSet {
  public:
    // False for null and when an equal member is already there (the set is then unchanged).
    bool insert(T* item) {
        if (!item || !index_.insert(item).second) {
            return false;
        }
        items_.append(item);
        return true;
    }

    // Removes the member equal to item and answers it (it may be another instance), or null.
    T* remove(T* item) {
        if (!item) {
            return nullptr;
        }
        const auto found = index_.find(item);
        if (found == index_.end()) {
            return nullptr;
        }
        T* member = static_cast<T*>(*found);
        index_.erase(found);
        items_.removeOne(member);
        return member;
    }

    // The first member (in insertion order) for which matches is true, or null.
    template <typename Predicate>
    T* itemMatching(Predicate matches) const {
        for (T* item : items_) {
            if (matches(item)) {
                return item;
            }
        }
        return nullptr;
    }

    // Adds the members of other that are not yet here.
    template <typename U>
    void unite(const VTUniqueSet<U>& other) {
        for (U* item : other.items()) {
            insert(item);
        }
    }

    const QList<T*>& items() const { return items_; }
    qsizetype size() const { return items_.size(); }
    bool isEmpty() const { return items_.isEmpty(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

  private:
    QList<T*> items_;
    std::unordered_set<VTUnique*, VTUniqueHash, VTUniqueEqual> index_;
};
