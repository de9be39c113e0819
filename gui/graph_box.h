// The main window's graph: a view of the document that paints the
// partition's graph at its own size, as the assessment window's ChartsBox
// paints its charts.
#pragma once

#include <QSize>
#include <QWidget>

class Document;
struct GraphTarget;

class GraphBox : public QWidget {
public:
    explicit GraphBox(Document& doc, QWidget* parent = nullptr);

    // The graph as the screen shows it, in a box of size `box`; Copy report
    // draws the same into an image.
    GraphTarget screen_target(QSize box) const;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    Document& doc_;
};
