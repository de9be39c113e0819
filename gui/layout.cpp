#include "gui/layout.h"

#include <QLabel>
#include <QStatusBar>
#include <QToolButton>

#include "gui/Quil_gui.h"
#include "gui/controls.h"
#include "gui/graph_box.h"
#include "gui/string_grid.h"
#include "output/font_size.h"
#include "qt/fonts.h"

void TForm_quil::layout_controls() {
    const QSize screen = document_.ui().screen_size();
    const int sw = screen.width();
    const int sh = screen.height();

    // Updates stay off instead of hiding the window: a hide and show would
    // raise the show event again and let a window manager move the window.
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);

    // Sizes are of the whole window, frame included; the frame is known
    // once the window has been shown by a window manager.
    const QSize frame = frame_size();
    layout_.frame_used = frame;
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const int width = scaled(sw, 0.88);
    const int height = scaled(sh, 0.95);
    resize(width - frame.width(), height - frame.height());
    move((sw - width) / 2, scaled(sh, 0.01));
    setMinimumSize(width - frame.width(), scaled(sh, 0.82) - frame.height());
    setMaximumSize(scaled(sw, 0.95) - frame.width(), QWIDGETSIZE_MAX);

    const int w = this->width();
    const int h = this->height();
    const int r = scaled_half_up(h, 0.03);

    font_size_ = scale_font_size(9, 600, 14, 1200, sh, 8, 18);
    setFont(window_font(font_size_));

    Controls& c = w_;
    c.status_bar->setGeometry(0, h - r, w, r);

    const int m = scaled(w, 0.01);
    const int s = scaled(w, 0.004);
    const int g = scaled(w, 0.012);
    struct Step {
        QToolButton* button;
        int gap_after;
    };
    const Toolbar& b = buttons_;
    const Step toolbar[] = {
        {b.SpeedButtonInfo1, s},    {b.SpeedButtonInfo2, g},     {b.SpeedButtonOpen, s},
        {b.SpeedButtonSave, s},     {b.SpeedButtonExport, s},    {b.SpeedButtonSaveAs, s},
        {b.SpeedButtonExportAs, g}, {b.SpeedButtonMaterials, g}, {b.SpeedButtonPrint, g},
        {b.SpeedButtonLang044, s},  {b.SpeedButtonLang048, g},   {b.SpeedButtonExit, g},
        {b.SpeedButtonUndo, s},     {b.SpeedButtonRedo, g},
        {b.SpeedButtonAssess, 0},
    };
    // 20x20 buttons with 16x16 glyphs up to 1024x768; larger screens scale both.
    const double k = toolbar_scale(sw, sh);
    const int side = scaled(20, k);
    const QSize glyph(scaled(16, k), scaled(16, k));
    int left = m;
    for (const Step& step : toolbar) {
        step.button->setGeometry(left, 1, side, side);
        step.button->setIconSize(glyph);
        left += side + step.gap_after;
    }

    c.graph->setGeometry(scaled(w, 0.01), scaled(h, 0.55), scaled(w, 0.98),
                         int((1.0L - static_cast<long double>(0.55)) * h - 1.75L * r));
    c.mnu_radio_group_wall->setGeometry(scaled(w, 0.58), scaled(h, 0.14), scaled(w, 0.16),
                                        scaled(h, 0.08));
    c.mnu_radio_group_calc->setGeometry(scaled(w, 0.58), scaled(h, 0.05), scaled(w, 0.16),
                                        scaled(h, 0.08));
    c.mnu_table1->move(scaled(w, 0.06), scaled(h, 0.06));
    c.mnu_table1->set_default_row_height(r);
    c.mnu_table2->move(scaled_half_up(w, 0.06), scaled_half_up(h, 0.242));
    c.mnu_table2->set_default_row_height(r);
    c.label_title->setGeometry(scaled(w, 0.015), scaled(h, 0.487), scaled(w, 0.04),
                               scaled(h, 0.032));
    c.edit_title->setGeometry(scaled(w, 0.06), scaled(h, 0.485), scaled(w, 0.8), scaled(h, 0.036));
    c.label_RadiusC->setGeometry(scaled(w, 0.8), scaled(h, 0.15), scaled(w, 0.16),
                                 scaled(h, 0.032));
    c.edit_RadiusC->setGeometry(scaled(w, 0.8), scaled(h, 0.18), scaled(w, 0.15), scaled(h, 0.036));

    c.graph_problem->setGeometry(c.graph->geometry());

    // Only the graph follows the window's edges when the user resizes it.
    layout_.graph_right = w - c.graph->geometry().right() - 1;
    layout_.graph_bottom = h - c.graph->geometry().bottom() - 1;

    setUpdatesEnabled(updates);
}

QSize TForm_quil::frame_size() const {
    return isVisible() ? frameGeometry().size() - size() : QSize(0, 0);
}

void TForm_quil::place_anchored() {
    QStatusBar* status_bar = w_.status_bar;
    GraphBox* graph = w_.graph;
    if (!graph || !status_bar) return;
    const int r = status_bar->height();
    status_bar->setGeometry(0, height() - r, width(), r);
    const QRect g = graph->geometry();
    graph->setGeometry(g.left(), g.top(), std::max(0, width() - layout_.graph_right - g.left()),
                       std::max(0, height() - layout_.graph_bottom - g.top()));
    if (w_.graph_problem) w_.graph_problem->setGeometry(graph->geometry());
}
