// The one seam through which code without Qt shows a modal message box.
// The GUI implements it with QMessageBox; tests use a scripted fake.
#pragma once

enum class MsgIcon { error, warning, question, information };
enum class MsgButtons { ok, yes_no, yes_no_cancel };
enum class MsgAnswer { ok, yes, no, cancel };

class MessageUi {
public:
    virtual ~MessageUi() = default;
    // Texts are Windows-1250, line breaks are single line feeds.
    virtual MsgAnswer message_box(const char* text, const char* caption, MsgIcon icon,
                                  MsgButtons buttons) = 0;
};
