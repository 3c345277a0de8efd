// SPDX-License-Identifier: MIT
#include "platform/UiTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool installQtTranslations(QCoreApplication &application) {
    // The interface is Chinese on every desktop, so the catalogue is chosen by
    // the interface's language rather than the session's.
    auto *translator = new QTranslator(&application);
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    if (!translator->load(chinese, QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
