// The splash screen shown before any other window exists.
#pragma once

#include <QSize>
#include <QWidget>
#include <cstdint>
#include <functional>

class QFrame;
class QLabel;

struct SplashSeams {
    std::function<QSize()> screen_size;  // empty: the primary screen
    int passes = 40;                     // the wait is at most passes × pass_ms
    int pass_ms = 100;
};

class TFormStart : public QWidget {
    Q_OBJECT

public:
    explicit TFormStart(SplashSeams seams = {}, QWidget* parent = nullptr);

    // Sizes and shows the splash, waits until the passes are over or Enter or
    // Escape is pressed, then hides it.
    void run_splash();
    void eh_FormStart_OnKeyDown(int key);

    // The pass in progress while the splash waits; afterwards, the passes it took.
    int passes_run() const { return passes_run_; }

    QFrame* Panel = nullptr;
    QLabel* Image = nullptr;
    std::uint8_t key_pressed = 0;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    SplashSeams seams_;
    int passes_run_ = 0;
};
