// The year-round assessment window: the climate of twelve months, the kind
// of partition, the monthly results, the verdicts and the charts of one
// month. Non-modal, made when first opened, a view of the document's
// AssessmentDocument; every dialog goes through the document's Ui.
#pragma once

#include <QPointer>
#include <QTableView>
#include <QWidget>
#include <functional>
#include <memory>

#include "document/ui.h"
#include "output/assessment_charts.h"

class AssessmentDocument;
class ClimateModel;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class ResultsModel;

// The climate grid: Ctrl+V pastes twelve rows from a spreadsheet.
class ClimateGrid : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;

signals:
    void paste_requested();

protected:
    void keyPressEvent(QKeyEvent* e) override;
};

// The diagram and the bars; a click on a bar chooses its month.
class ChartsBox : public QWidget {
public:
    ChartsBox(AssessmentDocument& doc, char decimal_sep, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    AssessmentDocument& doc_;
    char decimal_sep_;
    ChartBox bars_;
};

class TForm_Assess : public QWidget {
public:
    TForm_Assess(AssessmentDocument& doc, QWidget* parent = nullptr);
    ~TForm_Assess() override;

    AssessmentDocument& assessment() { return doc_; }

private:
    void build();
    void build_actions();
    // Runs a command with its boxes and dialogs over this window.
    template <class F>
    void as_owner(F&& run);
    void retranslate();
    void show_results();
    void show_month();
    void size_results();
    void fit_rows();

protected:
    void changeEvent(QEvent* e) override;

private:
    void show_climate_state();

    AssessmentDocument& doc_;
    Ui& ui_;
    ClimateModel* climate_model_ = nullptr;
    ResultsModel* results_model_ = nullptr;
    struct Controls {
        QLabel* climate_label = nullptr;
        QLabel* humidity_label = nullptr;
        QComboBox* humidity = nullptr;
        ClimateGrid* climate = nullptr;
        QPushButton* open_climate = nullptr;
        QPushButton* save_climate = nullptr;
        QLabel* kind_label = nullptr;
        QComboBox* kind = nullptr;
        QLabel* month_label = nullptr;
        QComboBox* month = nullptr;
        QLabel* verdicts[3] = {};
        QLabel* problem = nullptr;
        QLabel* results_label = nullptr;
        QTableView* results = nullptr;
        ChartsBox* charts = nullptr;
        QPushButton* export_text = nullptr;
        QPushButton* export_pdf = nullptr;
        QPushButton* print = nullptr;
        QPushButton* close = nullptr;
    } w_;
    bool updating_ = false;  // the program sets a combo box, not the user
};
