#include "model/VTUnique.h"

#include "model/VTBadHashException.h"

quint64 VTUnique::hash() const {
    const std::optional<qint64> uid = UID();
    // The whole 64-bit UID is tested: a GUID whose low 32 bits happen to be zero is a real one.
    if (prime_ == 0 || !uid || *uid == 0) {
        log()->severe(QStringLiteral(
            "Stats object is using 0 as prime_ or UID for hashing -- this is NOT what you want!  "
            "You must set up your own prime and UID values!  I will now fail on purpose."));
        throw VTBadHashException();
    }
    qint64 h = *uid;
    if (h > 100000) {
        h /= 1000;
    }
    return (static_cast<quint64>(h) + 1) * prime_;
}

bool VTUnique::isEqual(const QObject* other) const {
    if (other == this) {
        return true;
    }
    if (!other || !other->metaObject()->inherits(metaObject())) {
        return false;
    }
    return VT_isEqualToVTUnique(static_cast<const VTUnique*>(other));
}

bool VTUnique::VT_isEqualToVTUnique(const VTUnique* other) const {
    const std::optional<qint64> mine = UID();
    return mine && mine == other->UID();
}
