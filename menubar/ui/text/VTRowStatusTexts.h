#pragma once

#include <QString>

class VTComputer;
class VTVaultorState;

// The two texts of one menu row, for callers without a menu (the headless status print): the
// status line and the details line (empty for sources and for destinations without details).
struct VTRowStatusTexts {
    QString text;
    QString detailsText;

    // Asks the shared builder for the computer's kind, with the given application state
    // attached. A computer that is neither a source nor a destination has no texts.
    static VTRowStatusTexts forComputer(const VTComputer* computer, VTVaultorState* state);
};
