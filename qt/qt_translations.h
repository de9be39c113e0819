// Qt's own texts (standard buttons, file and print dialogs) in the program's
// language, from the translations Qt installs beside itself.
#pragma once

#include <QTranslator>

class QtTranslations {
public:
    QtTranslations() = default;
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // Installs Qt's texts for `language` (LANG_ENGLISH or LANG_POLISH) on the
    // application. English is Qt's own, so it only takes the Polish ones off.
    // False when the Polish file is missing: Qt's texts then stay English.
    bool use(int language);

private:
    QTranslator translator_;
    bool installed_ = false;
};
