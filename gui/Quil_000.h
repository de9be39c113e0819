// The splash screen shown before any other window exists.
#pragma once

#include <QWidget>
#include <cstdint>

class QFrame;
class QLabel;
class Ui;

class TFormStart : public QWidget {
    Q_OBJECT

public:
    // The wait is at most SPLASH_PASSES passes of SPLASH_PASS_MS, on the Ui's clock.
    static constexpr int SPLASH_PASSES = 40;
    static constexpr int SPLASH_PASS_MS = 100;

    // The screen size and the clock come from `ui`.
    explicit TFormStart(Ui& ui, QWidget* parent = nullptr);

    // Sizes and shows the splash, waits until the passes are over or Enter or
    // Escape is pressed, then hides it.
    void run_splash();

    // The pass in progress while the splash waits; afterwards, the passes it took.
    int passes_run() const { return passes_run_; }
    bool ended_by_key() const { return key_pressed_ != 0; }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void eh_FormStart_OnKeyDown(int key);

    Ui& ui_;
    QFrame* Panel = nullptr;
    QLabel* Image = nullptr;
    std::uint8_t key_pressed_ = 0;
    int passes_run_ = 0;
};
