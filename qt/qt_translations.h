// Qt's own texts (standard buttons, file and print dialogs, an edit's context
// menu) in the program's language, from the translations Qt installs beside
// itself. Loading them costs a few hundred KB, more than a start-up can
// spare, so they wait until the user first acts: Qt shows no text of its own
// before that.
#pragma once

#include <QTranslator>

class QtTranslations {
public:
    QtTranslations() = default;
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // The program's language (LANG_ENGLISH or LANG_POLISH); once in use,
    // Qt's texts follow it at once.
    void follow(int language);
    // Qt's texts are needed from now on.
    void use();
    bool in_use() const { return in_use_; }

private:
    void apply();

    QTranslator translator_;
    int language_ = -1;
    bool in_use_ = false;
    bool installed_ = false;
};
