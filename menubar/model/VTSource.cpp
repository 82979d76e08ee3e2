#include "model/VTSource.h"

VTSource::VTSource(qint64 GUID, QObject* parent)
    : VTComputer(GUID, parent), stats_(new VTSourceStats(GUID, this)) {
    setPrime(29);
}
