// The small non-modal find dialog of the help and materials window: a search
// text, "match case" and "whole word" boxes and a Find Next button. It only
// asks; the owner searches when find_next() is emitted.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class FindDialog : public QDialog {
    Q_OBJECT

public:
    explicit FindDialog(QWidget* parent = nullptr);

    QString find_text() const;
    void set_find_text(const QString& text);
    bool match_case() const;
    bool whole_word() const;

    // The dialog's texts in the current language.
    void retranslate();

signals:
    void find_next();

private:
    QLineEdit* edit_find = nullptr;
    QCheckBox* check_match_case = nullptr;
    QCheckBox* check_whole_word = nullptr;
    QPushButton* button_find_next = nullptr;
    QPushButton* button_cancel = nullptr;
    QLabel* label_find_ = nullptr;
};
