#include "model/VTDestination.h"

VTDestination::VTDestination(qint64 GUID, QObject* parent)
    : VTComputer(GUID, parent), stats_(new VTDestinationStats(GUID, this)) {
    setPrime(11);
}
