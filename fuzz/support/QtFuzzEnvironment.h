#pragma once

#include <QString>

class VTUserDefaults;

// What the client's code needs around it in a fuzz target: a Qt application object, logging
// that goes nowhere (a campaign runs millions of inputs, most of them logged as bad), and the
// user's folders in a private temporary place, so that no input reads or changes the real ones.
namespace QtFuzzEnvironment {

// Once per process, before the first input.
void setUp();
// The data folder the client searches first for its endpoint file.
QString dataHome();
// User defaults in the temporary configuration folder.
VTUserDefaults* userDefaults();
// Runs what an input left for the event loop (deletions of removed model objects), so that one
// input's objects never outlive it.
void finishInput();

}  // namespace QtFuzzEnvironment
