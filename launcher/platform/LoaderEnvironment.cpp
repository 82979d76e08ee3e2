#include "platform/LoaderEnvironment.h"

#include <cstdlib>

void clearLoaderSearchPath() {
    unsetenv("LD_LIBRARY_PATH");
}
