#include "gui/assess_window.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <array>

#include "core/numfmt.h"
#include "document/assessment_document.h"
#include "document/document.h"
#include "gui/key_passage.h"
#include "lang/catalogue.h"
#include "lang/catalogue_c.h"
#include "output/assessment_summary.h"
#include "qt/assessment_paint.h"
#include "qt/painter_canvas.h"
#include "qt/text_1250.h"
#include "storage/atomic_file.h"
#include "paths/paths.h"

namespace {

QString c_text(int id) { return QString::fromUtf8(catalogue_c_text(id)); }

const int CLIMATE_HEADINGS[CLIMATE_COLUMNS] = {C_COL_THETA_E, C_COL_PHI_E, C_COL_THETA_I,
                                               C_COL_PHI_I};

const PartitionKind KINDS[] = {PartitionKind::None,          PartitionKind::ExternalWall,
                               PartitionKind::Roof,          PartitionKind::FloorOverUnheated,
                               PartitionKind::FloorOnGround, PartitionKind::InternalWall};

template <class T>
T* named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

// The typed characters a number may hold; either mark types the separator
// in force (the keypad sends "." under every locale).
class NumberDelegate : public QStyledItemDelegate {
public:
    NumberDelegate(char sep, QObject* parent) : QStyledItemDelegate(parent), sep_(QChar(sep)) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            line->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[-+0-9.,eE ]{0,20}")), line));
        }
        return editor;
    }

protected:
    bool eventFilter(QObject* object, QEvent* e) override {
        auto* line = qobject_cast<QLineEdit*>(object);
        if (line && e->type() == QEvent::KeyPress) {
            const QString typed = static_cast<QKeyEvent*>(e)->text();
            if ((typed == QLatin1String(".") || typed == QLatin1String(",")) && typed != sep_) {
                line->insert(sep_);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, e);
    }

private:
    QString sep_;
};

// Each column as wide as its widest cell (bold, as the chosen month's row may
// be) or the widest word of its heading, which wraps. Once for a whole
// update, not cell by cell.
void fit_columns(QTableView* t) {
    QAbstractItemModel* model = t->model();
    QFont bold = t->font();
    bold.setBold(true);
    const QFontMetrics fm(bold);
    const QFontMetrics head(t->horizontalHeader()->font());
    for (int col = 0; col < model->columnCount(); ++col) {
        int width = 0;
        const QString heading = model->headerData(col, Qt::Horizontal, Qt::DisplayRole).toString();
        for (const QString& part : heading.split(QLatin1Char(' ')))
            width = std::max(width, head.horizontalAdvance(part) + 16);  // the section's margins
        for (int row = 0; row < model->rowCount(); ++row)
            width = std::max(width, fm.horizontalAdvance(model->index(row, col).data().toString()));
        if (t->columnWidth(col) != width + 10) t->setColumnWidth(col, width + 10);
    }
}

// The short month names ("Jan" ... or "I" ...).
std::array<std::string, MONTHS> short_months() {
    std::array<std::string, MONTHS> out;
    const std::string names = catalogue_c_text(C_W_MONTH_SHORT);
    std::size_t from = 0;
    for (int m = 0; m < MONTHS; ++m) {
        const std::size_t bar = std::min(names.find('|', from), names.size());
        out[m] = names.substr(from, bar - from);
        from = bar + 1;
    }
    return out;
}

}  // namespace

// The twelve months' climate as the grid shows it, in the Ui's decimal separator.
class ClimateModel : public QAbstractTableModel {
public:
    ClimateModel(AssessmentDocument& doc, char sep, QObject* parent)
        : QAbstractTableModel(parent), doc_(doc), sep_(sep) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : MONTHS;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : CLIMATE_COLUMNS;
    }
    bool derived(int column) const {
        return column == CLIMATE_PHI_I && doc_.climate().humidity_class > 0;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        const int column = index.column();
        if (role == Qt::TextAlignmentRole) return int(Qt::AlignRight | Qt::AlignVCenter);
        if (role == Qt::ForegroundRole && derived(column)) return QColor(Qt::gray);
        if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
        const ClimateMonth& m = doc_.climate().months[index.row()];
        if (derived(column)) {
            // What the class gives, shown but not typed.
            if (!doc_.valid()) return QStringLiteral("-");
            return QString::fromStdString(
                format_number("0.0", doc_.assessment().months[index.row()].phi_i, sep_));
        }
        const double values[CLIMATE_COLUMNS] = {m.theta_e, m.phi_e, m.theta_i, m.phi_i};
        return QString::fromStdString(format_number("0.0###", values[column], sep_));
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (role != Qt::DisplayRole) return {};
        if (o == Qt::Vertical) return QString::fromStdString(short_months()[section]);
        return c_text(CLIMATE_HEADINGS[section]);
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (!derived(index.column())) f |= Qt::ItemIsEditable;
        return f;
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::EditRole || derived(index.column())) return false;
        // A refused cell's message comes up over the assessment window.
        const DialogOwnerScope owner(doc_.document().ui(), QObject::parent());
        return doc_.edit_cell(index.row(), ClimateColumn(index.column()),
                              value.toString().trimmed().toStdString());
    }
    void refresh() { emit dataChanged(index(0, 0), index(MONTHS - 1, CLIMATE_COLUMNS - 1)); }
    void retranslate() {
        emit headerDataChanged(Qt::Horizontal, 0, CLIMATE_COLUMNS - 1);
        emit headerDataChanged(Qt::Vertical, 0, MONTHS - 1);
    }

private:
    AssessmentDocument& doc_;
    char sep_;
};

// The monthly results; the month is the row's header, the chosen one bold.
class ResultsModel : public QAbstractTableModel {
public:
    ResultsModel(AssessmentDocument& doc, char sep, QObject* parent)
        : QAbstractTableModel(parent), doc_(doc), sep_(sep) {}
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : MONTHS;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : SUMMARY_COLUMNS - 1;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        const int column = index.column() + 1;
        if (role == Qt::TextAlignmentRole)
            return int((column == SUM_PLANES ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
        if (role == Qt::FontRole && index.row() == doc_.month()) {
            QFont f;
            f.setBold(true);
            return f;
        }
        if (role != Qt::DisplayRole || !doc_.valid()) return {};
        return QString::fromStdString(rows_[index.row()][column]);
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (role == Qt::FontRole && o == Qt::Vertical && section == doc_.month()) {
            QFont f;
            f.setBold(true);
            return f;
        }
        if (role != Qt::DisplayRole) return {};
        if (o == Qt::Vertical) return QString::fromStdString(headings_months_[section]);
        return QString::fromStdString(headings_[section + 1]);
    }
    // New results: the texts once, then one change for the whole table.
    void refresh() {
        headings_ = summary_headings();
        headings_months_ = short_months();
        if (doc_.valid()) {
            for (int m = 0; m < MONTHS; ++m) summary_row(doc_.assessment(), m, rows_[m], sep_);
        }
        emit dataChanged(index(0, 0), index(MONTHS - 1, SUMMARY_COLUMNS - 2));
        // The headings change with the language, and the chosen month's is bold.
        if (headings_ != shown_headings_ || doc_.month() != shown_month_) {
            shown_headings_ = headings_;
            shown_month_ = doc_.month();
            emit headerDataChanged(Qt::Horizontal, 0, SUMMARY_COLUMNS - 2);
            emit headerDataChanged(Qt::Vertical, 0, MONTHS - 1);
        }
    }

private:
    AssessmentDocument& doc_;
    SummaryRow headings_, shown_headings_;
    int shown_month_ = -1;
    std::array<std::string, MONTHS> headings_months_;
    std::array<SummaryRow, MONTHS> rows_;
    char sep_;
};

void ClimateGrid::keyPressEvent(QKeyEvent* e) {
    if (e->matches(QKeySequence::Paste)) {
        emit paste_requested();
        return;
    }
    QTableView::keyPressEvent(e);
}

ChartsBox::ChartsBox(AssessmentDocument& doc, char decimal_sep, QWidget* parent)
    : QWidget(parent), doc_(doc), decimal_sep_(decimal_sep) {
    setMinimumHeight(120);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void ChartsBox::paintEvent(QPaintEvent*) {
    if (!doc_.valid()) return;
    QPainter painter(this);
    paint_assessment_charts(painter, doc_.assessment(), doc_.month(), width(), height(),
                            decimal_sep_, bars_);
}

void ChartsBox::mousePressEvent(QMouseEvent* e) {
    if (!doc_.valid() || e->button() != Qt::LeftButton) return;
    const int month = [&] {
        QImage scratch(1, 1, QImage::Format_RGB32);
        QPainter p(&scratch);
        p.setFont(font());
        QPainterCanvas canvas(p);
        return month_bar_at(bars_, canvas, int(e->position().x()));
    }();
    if (month >= 0) doc_.choose_month(month);
}

TForm_Assess::TForm_Assess(AssessmentDocument& doc, QWidget* parent)
    : QWidget(parent, Qt::Window), doc_(doc), ui_(doc.document().ui()) {
    setObjectName("Form_Assess");
    build();
    connect(&doc_, &AssessmentDocument::results_changed, this, [this] { show_results(); });
    connect(&doc_, &AssessmentDocument::climate_changed, this, [this] { show_climate_state(); });
    connect(&doc_, &AssessmentDocument::month_changed, this, [this] { show_month(); });
    connect(&doc_.document(), &Document::language_changed, this, [this] { retranslate(); });
    retranslate();
    show_climate_state();
    show_results();

    // Small screens give the window nearly all of themselves.
    const QSize screen = ui_.screen_size();
    const int margin = screen.width() < 1000 ? 12 : screen.width() / 10;
    resize(screen.width() - margin,
           screen.height() - (screen.height() < 700 ? 40 : screen.height() / 10));
}

TForm_Assess::~TForm_Assess() = default;

void TForm_Assess::build() {
    Controls& w = w_;
    const char sep = ui_.decimal_separator();

    w.climate_label = named(new QLabel(this), "climate_label");
    w.humidity_label = named(new QLabel(this), "humidity_label");
    w.humidity = named(new QComboBox(this), "humidity");
    w.climate = named(new ClimateGrid(this), "climate");
    climate_model_ = new ClimateModel(doc_, sep, this);
    w.climate->setModel(climate_model_);
    w.climate->setItemDelegate(new NumberDelegate(sep, w.climate));
    w.climate->setEditTriggers(QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
    w.climate->setSelectionMode(QAbstractItemView::SingleSelection);
    w.open_climate = named(new QPushButton(this), "open_climate");
    w.save_climate = named(new QPushButton(this), "save_climate");

    w.kind_label = named(new QLabel(this), "kind_label");
    w.kind = named(new QComboBox(this), "kind");
    w.month_label = named(new QLabel(this), "month_label");
    w.month = named(new QComboBox(this), "month");
    for (int i = 0; i < 3; ++i) {
        w.verdicts[i] = new QLabel(this);
        w.verdicts[i]->setObjectName(QStringLiteral("verdict_%1").arg(i));
        w.verdicts[i]->setWordWrap(true);
        w.verdicts[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    w.problem = named(new QLabel(this), "problem");
    w.problem->setWordWrap(true);
    w.results_label = named(new QLabel(this), "results_label");
    w.results = named(new QTableView(this), "results");
    results_model_ = new ResultsModel(doc_, sep, this);
    w.results->setModel(results_model_);
    w.results->setEditTriggers(QAbstractItemView::NoEditTriggers);
    w.results->setSelectionBehavior(QAbstractItemView::SelectRows);
    w.results->setSelectionMode(QAbstractItemView::SingleSelection);
    w.charts = named(new ChartsBox(doc_, sep, this), "charts");
    w.export_text = named(new QPushButton(this), "export_text");
    w.export_pdf = named(new QPushButton(this), "export_pdf");
    w.print = named(new QPushButton(this), "print");
    w.close = named(new QPushButton(this), "close");

    w.climate->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (QTableView* t : {static_cast<QTableView*>(w.climate), w.results}) {
        t->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        t->horizontalHeader()->setDefaultAlignment(
            Qt::Alignment(int(Qt::AlignCenter) | int(Qt::TextWordWrap)));
    }
    fit_rows();

    auto* choices = new QHBoxLayout;
    const std::pair<QLabel*, QComboBox*> combos[] = {
        {w.humidity_label, w.humidity}, {w.kind_label, w.kind}, {w.month_label, w.month}};
    for (const auto& [label, combo] : combos) {
        label->setBuddy(combo);
        choices->addWidget(label);
        choices->addWidget(combo, 1);
        choices->addSpacing(8);
    }

    auto* tables = new QGridLayout;
    tables->setHorizontalSpacing(6);
    tables->setVerticalSpacing(1);
    tables->addWidget(w.climate_label, 0, 0);
    tables->addWidget(w.results_label, 0, 1);
    tables->addWidget(w.climate, 1, 0);
    tables->addWidget(w.results, 1, 1);
    tables->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(w.open_climate);
    buttons->addWidget(w.save_climate);
    buttons->addStretch(1);
    for (QPushButton* b : {w.export_text, w.export_pdf, w.print, w.close}) buttons->addWidget(b);

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(6, 6, 6, 6);
    main->setSpacing(3);
    main->addLayout(choices);
    main->addLayout(tables);
    for (QLabel* v : w.verdicts) main->addWidget(v);
    main->addWidget(w.problem);
    main->addWidget(w.charts, 1);
    main->addLayout(buttons);

    // The edits and commands: the document's, with their boxes over this window.
    connect(w.climate, &ClimateGrid::paste_requested, this, [this] {
        as_owner([this] { doc_.paste(QApplication::clipboard()->text().toStdString()); });
    });
    // Tab leaves the grid for the other controls.
    w.climate->setTabKeyNavigation(false);
    connect(w.humidity, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!updating_ && index >= 0) as_owner([&] { doc_.choose_humidity(index); });
    });
    connect(w.kind, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!updating_ && index >= 0) as_owner([&] { doc_.choose_kind(KINDS[index]); });
    });
    connect(w.month, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!updating_ && index >= 0) doc_.choose_month(index);
    });
    connect(w.results, &QTableView::clicked, this,
            [this](const QModelIndex& index) { doc_.choose_month(index.row()); });
    connect(w.results->verticalHeader(), &QHeaderView::sectionClicked, this,
            [this](int row) { doc_.choose_month(row); });
    build_actions();
}

// The window's commands, one row each: the action's name, its button (if
// any), its keys and what it does. Every one of them is the document's.
void TForm_Assess::build_actions() {
    Document& d = doc_.document();
    AssessmentDocument& a = doc_;
    struct Row {
        const char* name;
        QPushButton* button;
        QList<QKeySequence> keys;
        std::function<void()> run;
    };
    const Row rows[] = {
        {"action_undo", nullptr, {QKeySequence::Undo}, [&d] { d.undo(); }},
        {"action_redo",
         nullptr,
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
         [&d] { d.redo(); }},
        {"action_save", nullptr, {QKeySequence(Qt::CTRL | Qt::Key_S)}, [&d] { d.save(); }},
        {"action_open_climate", w_.open_climate, {}, [&a] { a.open_climate(); }},
        {"action_save_climate", w_.save_climate, {}, [&a] { a.save_climate(); }},
        {"action_export_text",
         w_.export_text,
         {QKeySequence(Qt::CTRL | Qt::Key_E)},
         [&a] { a.export_text(); }},
        {"action_export_pdf", w_.export_pdf, {}, [&a] { a.export_pdf(); }},
        {"action_print", w_.print, {QKeySequence(Qt::CTRL | Qt::Key_P)}, [&a] { a.print(); }},
        {"action_close", w_.close, {QKeySequence(Qt::Key_Escape)}, [this] { close(); }},
    };
    for (const Row& row : rows) {
        auto* action = new QAction(this);
        action->setObjectName(row.name);
        action->setShortcuts(row.keys);
        // The keys work from a cell's editor and the combo boxes too.
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        const std::function<void()> run = row.run;
        connect(action, &QAction::triggered, this, [this, run] { as_owner(run); });
        if (row.button) connect(row.button, &QPushButton::clicked, action, &QAction::trigger);
    }
    // From a cell's editor too; undo, redo and Escape stay the editor's first.
    new KeyPassage(this, [this] {
        QList<QKeySequence> keys;
        for (const QAction* action : actions()) {
            const QString name = action->objectName();
            if (name != "action_undo" && name != "action_redo" && name != "action_close")
                keys += action->shortcuts();
        }
        return keys;
    });
}

template <class F>
void TForm_Assess::as_owner(F&& run) {
    const DialogOwnerScope owner(doc_.document().ui(), this);
    run();
}

void TForm_Assess::fit_rows() {
    // Rows as low as the font allows, so twelve months fit at 800x600; both
    // tables' headings two lines high, so their months stand side by side.
    const int row_h = fontMetrics().height() + 3;
    const int heading_h = 2 * fontMetrics().height() + 4;
    for (QTableView* t : {static_cast<QTableView*>(w_.climate), w_.results}) {
        t->verticalHeader()->setMinimumSectionSize(row_h);
        t->verticalHeader()->setDefaultSectionSize(row_h);
        t->horizontalHeader()->setFixedHeight(heading_h);
        int height = row_h * MONTHS + heading_h + 2 * t->frameWidth();
        if (t == w_.results) height += t->horizontalScrollBar()->sizeHint().height();
        t->setFixedHeight(height);
    }
}

void TForm_Assess::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::FontChange && w_.results) {
        fit_rows();
        show_climate_state();
        size_results();
    }
}

void TForm_Assess::retranslate() {
    Controls& w = w_;
    updating_ = true;
    setWindowTitle(c_text(C_W_TITLE));
    w.climate_label->setText(c_text(C_W_CLIMATE));
    w.humidity_label->setText(c_text(C_W_HUMIDITY));
    w.humidity->clear();
    w.humidity->addItem(c_text(C_W_HUMIDITY_GIVEN));
    for (int k = 1; k <= 5; ++k)
        w.humidity->addItem(QString::fromStdString(
            fill_text(catalogue_c_text(C_W_HUMIDITY_CLASS), {std::to_string(k)})));
    w.humidity->setCurrentIndex(doc_.climate().humidity_class);
    w.open_climate->setText(c_text(C_W_OPEN_CLIMATE));
    w.save_climate->setText(c_text(C_W_SAVE_CLIMATE));
    w.kind_label->setText(c_text(C_W_KIND));
    w.kind->clear();
    w.kind->addItem(c_text(C_W_KIND_NONE));
    for (std::size_t k = 1; k < std::size(KINDS); ++k)
        w.kind->addItem(QString::fromUtf8(assessment_kind_text(KINDS[k])));
    w.month_label->setText(c_text(C_W_MONTH));
    w.month->clear();
    for (int m = 0; m < MONTHS; ++m) w.month->addItem(c_text(C_MONTH_1 + m));
    w.month->setCurrentIndex(doc_.month());
    w.results_label->setText(c_text(C_W_RESULTS));
    w.export_text->setText(c_text(C_W_EXPORT_TEXT));
    w.export_pdf->setText(c_text(C_W_EXPORT_PDF));
    w.print->setText(c_text(C_W_PRINT));
    w.close->setText(c_text(C_W_CLOSE));
    updating_ = false;

    // Names for assistive technology, in the language of the texts.
    w.climate->setAccessibleName(c_text(C_W_A11Y_CLIMATE));
    w.results->setAccessibleName(c_text(C_W_A11Y_RESULTS));
    w.charts->setAccessibleName(c_text(C_W_A11Y_DIAGRAM) + QStringLiteral("; ") +
                                c_text(C_W_A11Y_BARS));
    w.humidity->setAccessibleName(c_text(C_W_HUMIDITY));
    w.kind->setAccessibleName(c_text(C_W_KIND));
    w.month->setAccessibleName(c_text(C_W_MONTH));
    for (QLabel* v : w.verdicts) v->setAccessibleName(c_text(C_W_A11Y_VERDICTS));
    for (QPushButton* b :
         {w.open_climate, w.save_climate, w.export_text, w.export_pdf, w.print, w.close})
        b->setAccessibleName(b->text().remove(QChar(0x2026)));
    climate_model_->retranslate();
    show_results();
}

void TForm_Assess::show_results() {
    Controls& w = w_;
    const bool valid = doc_.valid();
    updating_ = true;
    for (std::size_t k = 0; k < std::size(KINDS); ++k)
        if (KINDS[k] == doc_.settings().kind) w.kind->setCurrentIndex(int(k));
    updating_ = false;
    if (valid) {
        const Verdicts v =
            summary_verdicts(doc_.assessment(), doc_.settings(), ui_.decimal_separator());
        const Verdict* all[3] = {&v.interstitial, &v.surface, &v.u};
        for (int i = 0; i < 3; ++i) {
            // Colour is a second cue only: the text says it all.
            const QColor colour = all[i]->tone == Tone::good ? QColor(0, 100, 0)
                                  : all[i]->tone == Tone::bad
                                      ? QColor(160, 0, 0)
                                      : palette().color(QPalette::WindowText);
            if (w.verdicts[i]->palette().color(QPalette::WindowText) != colour) {
                QPalette p = w.verdicts[i]->palette();
                p.setColor(QPalette::WindowText, colour);
                w.verdicts[i]->setPalette(p);
            }
            const QString text = QString::fromStdString(all[i]->text);
            if (w.verdicts[i]->text() != text) w.verdicts[i]->setText(text);
        }
    }
    for (QLabel* l : w.verdicts) l->setVisible(valid);
    w.problem->setVisible(!valid);
    w.problem->setText(QString::fromStdString(doc_.problem()));
    if (doc_.climate().humidity_class > 0) climate_model_->refresh();
    show_month();
    size_results();
}

void TForm_Assess::size_results() { fit_columns(w_.results); }

void TForm_Assess::show_month() {
    updating_ = true;
    w_.month->setCurrentIndex(doc_.month());
    updating_ = false;
    results_model_->refresh();
    w_.charts->update();
}

void TForm_Assess::show_climate_state() {
    updating_ = true;
    w_.humidity->setCurrentIndex(doc_.climate().humidity_class);
    updating_ = false;
    climate_model_->refresh();
    fit_columns(w_.climate);
    // The grid as wide as its columns, the results taking the rest.
    int width = w_.climate->verticalHeader()->width() + 2 * w_.climate->frameWidth();
    for (int col = 0; col < CLIMATE_COLUMNS; ++col) width += w_.climate->columnWidth(col);
    if (w_.climate->width() != width) w_.climate->setFixedWidth(width);
}
