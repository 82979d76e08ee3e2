#pragma once

#include <QLocale>

class QTranslator;

// Installs the client's compiled-in translation of its texts for a locale. English is the
// source language and needs none.
class VTTranslationLoader {
  public:
    VTTranslationLoader() = delete;

    // Replaces the translation installed by an earlier call; answers whether the locale has one
    // (without one, the English texts show).
    static bool install(const QLocale& locale = QLocale());
    // Removes the installed translation, if any.
    static void remove();

  private:
    static QTranslator*& installed();
};
