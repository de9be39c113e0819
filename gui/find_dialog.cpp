#include "gui/find_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "lang/catalogue.h"
#include "qt/text_1250.h"

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("find_dialog");
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    label_find_ = new QLabel(this);
    edit_find = new QLineEdit(this);
    edit_find->setObjectName("edit_find");
    label_find_->setBuddy(edit_find);
    check_match_case = new QCheckBox(this);
    check_match_case->setObjectName("check_match_case");
    check_whole_word = new QCheckBox(this);
    check_whole_word->setObjectName("check_whole_word");
    button_find_next = new QPushButton(this);
    button_find_next->setObjectName("button_find_next");
    button_find_next->setDefault(true);
    button_find_next->setEnabled(false);
    button_cancel = new QPushButton(this);
    button_cancel->setObjectName("button_cancel");

    auto* fields = new QGridLayout;
    fields->addWidget(label_find_, 0, 0);
    fields->addWidget(edit_find, 0, 1);
    fields->addWidget(check_whole_word, 1, 0, 1, 2);
    fields->addWidget(check_match_case, 2, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(button_find_next);
    buttons->addWidget(button_cancel);
    buttons->addStretch();
    auto* all = new QHBoxLayout(this);
    all->addLayout(fields, 1);
    all->addLayout(buttons);

    // Like the system's find dialogs: nothing to find, nothing to press.
    connect(edit_find, &QLineEdit::textChanged, this,
            [this](const QString& text) { button_find_next->setEnabled(!text.isEmpty()); });
    connect(button_find_next, &QPushButton::clicked, this, [this] {
        if (!edit_find->text().isEmpty()) emit find_next();
    });
    connect(button_cancel, &QPushButton::clicked, this, &QDialog::reject);
    retranslate();
}

QString FindDialog::find_text() const { return edit_find->text(); }

void FindDialog::set_find_text(const QString& text) { edit_find->setText(text); }

bool FindDialog::match_case() const { return check_match_case->isChecked(); }

bool FindDialog::whole_word() const { return check_whole_word->isChecked(); }

void FindDialog::retranslate() {
    auto text = [](TextD id) { return from_1250(catalogue_d_text(id)); };
    setWindowTitle(text(TextD::FindTitle));
    label_find_->setText(text(TextD::FindWhat));
    check_match_case->setText(text(TextD::MatchCase));
    check_whole_word->setText(text(TextD::WholeWord));
    button_find_next->setText(text(TextD::FindNext));
    button_cancel->setText(text(TextD::Cancel));
}
