#include "launch/JavaLauncher.h"
#include "launch/SystemVersion.h"
#include "launch/VaultorService.h"
#include "platform/KernelVersionSource.h"
#include "platform/RuntimeLayout.h"
#include "platform/Syslog.h"

int main(int argc, char** argv) {
    Syslog log;
    KernelVersionSource versionSource = KernelVersionSource::fromUname();
    SystemVersion systemVersion(versionSource, log);
    JavaLauncher launcher(log, RuntimeLayout::bundledRuntimeLibraryForCurrentUser(),
                          RuntimeLayout::kOsJava);
    VaultorService service(log, systemVersion, launcher,
                           RuntimeLayout::kBundledRuntimeMinimumVersion);
    return service.main(argc, argv);
}
