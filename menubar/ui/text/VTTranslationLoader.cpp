#include "ui/text/VTTranslationLoader.h"

#include <QCoreApplication>
#include <QTranslator>

QTranslator*& VTTranslationLoader::installed() {
    static QTranslator* translator = nullptr;
    return translator;
}

bool VTTranslationLoader::install(const QLocale& locale) {
    remove();
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(locale, QStringLiteral("vaultor"), QStringLiteral("_"),
                          QStringLiteral(":/i18n"))) {
        delete translator;
        return false;
    }
    installed() = translator;
    QCoreApplication::installTranslator(translator);
    return true;
}

void VTTranslationLoader::remove() {
    if (QTranslator* translator = installed()) {
        installed() = nullptr;
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}
