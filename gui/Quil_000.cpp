#include "gui/Quil_000.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

#include "document/ui.h"

// The picture sits in a static library, whose resources must be registered by hand.
static void init_splash_resources() { Q_INIT_RESOURCE(splash); }

namespace {

// Puts the pointer back even if the wait is left by an exception.
class HiddenPointer {
public:
    HiddenPointer() { QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor)); }
    ~HiddenPointer() { QGuiApplication::restoreOverrideCursor(); }
    HiddenPointer(const HiddenPointer&) = delete;
    HiddenPointer& operator=(const HiddenPointer&) = delete;
};

}  // namespace

TFormStart::TFormStart(Ui& ui, QWidget* parent) : QWidget(parent), ui_(ui) {
    init_splash_resources();
    setObjectName("FormStart");
    Panel = new QFrame(this);
    Panel->setObjectName("Panel");
    Image = new QLabel(Panel);
    Image->setObjectName("Image");
    Image->setPixmap(QPixmap(QStringLiteral(":/app/splash.png")));
    // Never let the picture's own size push the form around.
    Image->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    Image->setMinimumSize(0, 0);

    auto* form_layout = new QVBoxLayout(this);
    form_layout->setContentsMargins(0, 0, 0, 0);
    form_layout->addWidget(Panel);
    auto* panel_layout = new QVBoxLayout(Panel);
    panel_layout->setContentsMargins(0, 0, 0, 0);
    panel_layout->addWidget(Image);
}

void TFormStart::run_splash() {
    hide();
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QString());

    // A single line around a 2-pixel border, the picture stretched inside.
    Panel->setFrameStyle(QFrame::Box | QFrame::Plain);
    Panel->setLineWidth(1);
    Panel->layout()->setContentsMargins(2, 2, 2, 2);
    Image->setScaledContents(true);

    const QSize screen = ui_.screen_size();
    const int w = screen.width();
    const int h = screen.height();
    {
        HiddenPointer hidden;
        const int height = h * 4 / 10;
        const int width = w * 48 / 100;
        setGeometry((w - width) / 2, (h - height) / 2, width, height);

        show();
        repaint();
        raise();
        activateWindow();
        setFocus();

        key_pressed_ = 0;
        passes_run_ = 0;
        while (passes_run_ < SPLASH_PASSES) {
            ++passes_run_;
            ui_.clock().sleep_ms(SPLASH_PASS_MS);
            QCoreApplication::processEvents();
            if (key_pressed_) break;
        }
    }
    hide();
}

void TFormStart::eh_FormStart_OnKeyDown(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) key_pressed_ = 1;
}

void TFormStart::keyPressEvent(QKeyEvent* e) { eh_FormStart_OnKeyDown(e->key()); }
