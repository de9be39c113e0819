#include "mainwin/entry.h"

#include <QString>
#include <exception>
#include <string>

#include "lang/catalogue.h"
#include "mainwin/text_1250.h"

int run_guarded(MessageUi& ui, const std::function<int()>& body) {
    std::string text;
    try {
        return body();
    } catch (const std::exception& e) {
        text = to_1250(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        text = "Unknown error.";
    }
    ui.message_box(text.c_str(), catalogue_b_text(7), MsgIcon::error, MsgButtons::ok);
    return 1;
}
