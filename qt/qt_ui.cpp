#include "qt/qt_ui.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>

#include "qt/assessment_paint.h"
#include "qt/print_job.h"
#include "qt/text_1250.h"

QString qt_file_filter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // "*.*" means every file, also one without an extension.
        QString pattern = parts[i + 1];
        if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
        out << parts[i] + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

MsgAnswer QtUi::message_box(const char* text, const char* caption, MsgIcon icon,
                            MsgButtons buttons) {
    return show_box(from_1250(text), caption, icon, buttons);
}

MsgAnswer QtUi::message_box(const char* before, const QString& path, const char* after,
                            const char* caption, MsgIcon icon, MsgButtons buttons) {
    return show_box(from_1250(before) + path + from_1250(after), caption, icon, buttons);
}

void set_up_message_box(QMessageBox& box, const QString& text, const QString& caption, MsgIcon icon,
                        MsgButtons buttons) {
    box.setWindowModality(Qt::ApplicationModal);
    box.setText(text);
    box.setWindowTitle(caption);
    switch (icon) {
        case MsgIcon::error:
            box.setIcon(QMessageBox::Critical);
            break;
        case MsgIcon::warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MsgIcon::question:
            box.setIcon(QMessageBox::Question);
            break;
        case MsgIcon::information:
            box.setIcon(QMessageBox::Information);
            break;
    }
    switch (buttons) {
        case MsgButtons::ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MsgButtons::yes_no:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MsgButtons::yes_no_cancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    // The text keeps its own line breaks. Qt's box wraps a text wider than
    // half the screen at that width; a label at least as wide as its longest
    // line (tabs expanded) has nothing to wrap, so the box grows to fit it,
    // within the screen.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        label->setWordWrap(false);
        int width = label->sizeHint().width();
        if (const QScreen* screen = box.screen())
            width = std::min(width, screen->availableGeometry().width() * 3 / 4);
        label->setMinimumWidth(width);
    }
}

namespace {

// The extension of a filter's one pattern ("x (*.parieta.json)" gives
// "parieta.json"); empty for several patterns or a wildcard one.
QString filter_suffix(const QString& filter) {
    const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = filter.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open) return {};
    const QString pattern = filter.mid(open + 1, close - open - 1).trimmed();
    if (!pattern.startsWith(QLatin1String("*.")) || pattern.contains(QLatin1Char(' '))) return {};
    const QString suffix = pattern.mid(2);
    return suffix.contains(QLatin1Char('*')) ? QString() : suffix;
}

// 1-based; the dialog names the filter without its patterns when their
// details are hidden.
int filter_number(const QStringList& filters, const QString& chosen) {
    for (int i = 0; i < filters.size(); ++i) {
        if (filters[i] == chosen || filters[i].startsWith(chosen + QLatin1String(" (")))
            return i + 1;
    }
    return 0;
}

}  // namespace

MsgAnswer QtUi::show_box(const QString& text, const char* caption, MsgIcon icon,
                         MsgButtons buttons) {
    QMessageBox box(parent());
    set_up_message_box(box, text, from_1250(caption), icon, buttons);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return MsgAnswer::yes;
        case QMessageBox::No:
            return MsgAnswer::no;
        case QMessageBox::Ok:
            return MsgAnswer::ok;
        default:
            return buttons == MsgButtons::ok ? MsgAnswer::ok : MsgAnswer::cancel;
    }
}

std::optional<QString> QtUi::run_file_dialog(FileDialog& d, bool save) {
    QFileDialog dialog(parent(), from_1250(d.title.c_str()), d.dir);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !d.overwrite_prompt);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setSizeGripEnabled(d.resizable);
    // The list shows each description as the catalogue has it, without the
    // pattern Qt would append; patterns match in any letter case (wall.par).
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setFilter(dialog.filter() & ~QDir::Filters(QDir::CaseSensitive));
    const QStringList filters =
        qt_file_filter(from_1250(d.filter.c_str())).split(QStringLiteral(";;"));
    dialog.setDefaultSuffix(d.default_ext);
    if (!d.filter.empty()) {
        dialog.setNameFilters(filters);
        if (d.filter_index >= 1 && d.filter_index <= filters.size())
            dialog.selectNameFilter(filters[d.filter_index - 1]);
        // A bare name takes the extension of the type chosen.
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog, &d](const QString& filter) {
                             const QString suffix = filter_suffix(filter);
                             dialog.setDefaultSuffix(suffix.isEmpty() ? d.default_ext : suffix);
                         });
        if (d.filter_index >= 1 && d.filter_index <= filters.size()) {
            const QString suffix = filter_suffix(filters[d.filter_index - 1]);
            if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
        }
    }
    if (!d.name.isEmpty()) dialog.selectFile(d.name);
    if (d.on_selection_change)
        QObject::connect(&dialog, &QFileDialog::currentChanged, &dialog,
                         [&d](const QString& path) { d.on_selection_change(path); });
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    if (!d.filter.empty()) d.filter_index = filter_number(filters, dialog.selectedNameFilter());
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.front();
}

bool QtUi::render_assessment_pdf(const AssessmentPageInput& in, std::string& bytes) {
    return assessment_pdf_bytes(in, bytes);
}

std::optional<QString> QtUi::run_open_dialog(FileDialog& dialog) {
    return run_file_dialog(dialog, false);
}

std::optional<QString> QtUi::run_save_dialog(FileDialog& dialog) {
    return run_file_dialog(dialog, true);
}

std::unique_ptr<PrintJob> QtUi::run_print_dialog() {
    auto job = std::make_unique<QtPrintJob>();
    QPrintDialog dialog(&job->printer(), parent());
    // Printing to a file stays on offer only when there is no printer to print on.
    dialog.setOption(QAbstractPrintDialog::PrintToFile,
                     QPrinterInfo::availablePrinterNames().isEmpty());
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    return job;
}

QSize QtUi::screen_size() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->geometry().size() : QSize();
    return size.width() > 0 && size.height() > 0 ? size : QSize(800, 600);
}

int QtUi::scroll_bar_width() const {
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

char QtUi::decimal_separator() const {
    const QString point = QLocale::system().decimalPoint();
    return point == QStringLiteral(",") ? ',' : '.';
}
