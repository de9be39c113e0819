#include "qt/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

#include "lang/catalogue.h"

QtTranslations::~QtTranslations() {
    if (installed_) QCoreApplication::removeTranslator(&translator_);
}

void QtTranslations::follow(int language) {
    language_ = language;
    if (in_use_) apply();
}

void QtTranslations::use() {
    if (in_use_) return;
    in_use_ = true;
    apply();
}

void QtTranslations::apply() {
    const bool polish = language_ == LANG_POLISH;
    if (polish == installed_) return;
    if (!polish) {
        QCoreApplication::removeTranslator(&translator_);
        installed_ = false;
        return;
    }
    // qtbase covers the message box buttons and the file and print dialogs.
    // Without the file Qt's texts stay English.
    if (translator_.isEmpty() &&
        !translator_.load(QLocale(QLocale::Polish, QLocale::Poland), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    installed_ = QCoreApplication::installTranslator(&translator_);
}
