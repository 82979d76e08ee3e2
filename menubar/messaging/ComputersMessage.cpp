#include "messaging/ComputersMessage.h"

VTUniqueSet<VTComputer> ComputersMessage::computersSet(QObject* owner) const {
    VTUniqueSet<VTComputer> computers;
    for (qsizetype i = 1; i < tokens().size(); ++i) {
        VTComputer* computer = VTComputer::fromLegacyRecord(tokens()[i], owner);
        if (computer->GUID() == 0) {
            // A record without a GUID cannot be told apart from any other.
            delete computer;
            continue;
        }
        if (!computers.insert(computer)) {
            delete computer;
        }
    }
    return computers;
}
