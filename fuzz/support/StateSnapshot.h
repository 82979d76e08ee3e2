#pragma once

#include <string>

class VTVaultorState;

// Everything a state holds, as text: every property of the state, of each computer in each of
// its collections, of each computer's statistics, of each set's statistics and their file
// details, and of each backup set, in collection order. Time stamps of updates are left out;
// two states that read the same documents alike give the same text.
std::string stateSnapshot(const VTVaultorState& state);
