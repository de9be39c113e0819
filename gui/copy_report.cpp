// Copy report (Ctrl+Shift+C, and the graph's context menu): the text Export
// writes and the graph as an image, for pasting into documents and mails.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <string>

#include "gui/Quil_gui.h"
#include "gui/graph_box.h"
#include "lang/catalogue.h"
#include "output/graph.h"
#include "qt/painter_canvas.h"
#include "qt/text_1250.h"

void TForm_quil::add_copy_report_action() {
    auto* action = new QAction(this);
    action->setObjectName("ActionCopyReport");
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    w_.graph->addAction(action);
    w_.graph->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(action, &QAction::triggered, this, [this] { copy_report(); });
    const auto name = [action] { action->setText(from_1250(catalogue_d_text(TextD::CopyReport))); };
    // Named again with the window's other texts, when the grids are filled.
    name();
    connect(&document_, &Document::grids_filled, action, name);
}

void TForm_quil::copy_report() {
    // Export's rules: invalid input gets its check message and nothing is copied.
    std::string bytes;
    if (!document_.report_text(bytes)) {
        show_note(from_1250(catalogue_d_text(TextD::NothingCopied)));
        return;
    }
    // Line ends as Qt keeps text; the platform puts its own on the clipboard.
    QString text = from_1250(bytes.c_str());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));

    // The paint box's size, on white: a paste has no window behind it.
    QSize box = w_.graph->size();
    if (box.isEmpty()) box = QSize(640, 320);
    QImage image(box, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        GraphTarget target = w_.graph->screen_target(box);
        target.results_valid = true;  // report_text has just calculated
        paint_graph(painter, document_.record(), target);
    }

    auto* data = new QMimeData;
    data->setText(text);
    data->setImageData(image);
    QGuiApplication::clipboard()->setMimeData(data);
    show_note(from_1250(catalogue_d_text(TextD::ReportCopied)));
}
