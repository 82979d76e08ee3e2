#pragma once

// The numbers the presentation compares against; they travel as int properties.

// Overall or per-set backup status. "Complete" is never sent: it is derived from a safe,
// fully complete state.
enum VTBackupStatus : int {
    VTBackupStatusSevere = 1,
    VTBackupStatusWarning = 2,
    VTBackupStatusUnknown = 3,
    VTBackupStatusSafe = 4,
    VTBackupStatusComplete = 5,
};

// Status of one source or destination.
enum VTComputerStatus : int {
    VTComputerStatusOffline = 1,
    VTComputerStatusSevere = 2,
    VTComputerStatusWarning = 3,
    VTComputerStatusUnknown = 4,
    VTComputerStatusSafe = 5,
    VTComputerStatusComplete = 6,
};

// Operating system of this computer as the service names it.
enum VTOSType : int {
    VTOSTypeLinux = 1,
    VTOSTypeMac = 2,
    VTOSTypeSolaris = 3,
    VTOSTypeWin = 4,
    VTOSTypeUnknown = 99,
};
