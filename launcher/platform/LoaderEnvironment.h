#pragma once

// Removes the dynamic loader's search path from the environment, so that a runtime loaded into
// this process sees none.
void clearLoaderSearchPath();
