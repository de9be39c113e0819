// The splash screen: size and place, the wait and what ends it, the pointer.
// Its passes wait on the Ui's clock, which here takes no time.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "gui/Quil_000.h"
#include "tests/support/fake_ui.h"

namespace {

FakeUi screen(QSize size) {
    FakeUi ui;
    ui.screen = size;
    return ui;
}

QLabel* image_of(const TFormStart& splash) { return splash.findChild<QLabel*>("Image"); }

TEST(Splash, SizeAndPlaceFollowTheScreen) {
    struct ScreenCase {
        QSize screen;
        QRect splash;
    };
    const ScreenCase cases[] = {
        {{800, 600}, {208, 180, 384, 240}},
        {{1024, 768}, {266, 230, 491, 307}},
    };
    for (const ScreenCase& c : cases) {
        FakeUi ui = screen(c.screen);
        TFormStart splash(ui);
        QRect while_shown;
        QTimer::singleShot(0, &splash, [&] { while_shown = splash.geometry(); });
        splash.run_splash();
        EXPECT_EQ(while_shown, c.splash);
        EXPECT_FALSE(splash.isVisible());
    }
}

TEST(Splash, ShowsThePictureStretchedWithoutText) {
    FakeUi ui = screen({800, 600});
    TFormStart splash(ui);
    QSize picture;
    QSize image_area;
    QTimer::singleShot(0, &splash, [&] {
        picture = image_of(splash)->pixmap().size();
        image_area = image_of(splash)->size();
    });
    splash.run_splash();
    EXPECT_EQ(picture, QSize(496, 288));
    EXPECT_TRUE(image_of(splash)->hasScaledContents());
    // Border line and width inside the 384 x 240 form.
    EXPECT_EQ(image_area, QSize(384 - 6, 240 - 6));
    EXPECT_TRUE(splash.windowTitle().isEmpty());
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
}

TEST(Splash, WaitsFortyPassesOfATenthOfASecond) {
    FakeUi ui = screen({800, 600});
    TFormStart splash(ui);
    splash.run_splash();
    EXPECT_EQ(splash.passes_run(), 40);
    EXPECT_EQ(ui.fake_clock.sleeps, 40);
    EXPECT_EQ(ui.fake_clock.slept_ms, 4000);
    EXPECT_FALSE(splash.ended_by_key());
}

TEST(Splash, OtherKeysAndClicksDoNotEndTheWait) {
    FakeUi ui = screen({1024, 768});
    TFormStart splash(ui);
    ui.fake_clock.on_sleep = [&] {
        if (ui.fake_clock.sleeps != 3) return;
        QTest::keyClick(&splash, Qt::Key_A);
        QTest::keyClick(&splash, Qt::Key_Space);
        QTest::keyClick(&splash, Qt::Key_F1);
        QTest::mouseClick(&splash, Qt::LeftButton);
        QTest::mouseClick(&splash, Qt::RightButton);
    };
    splash.run_splash();
    EXPECT_EQ(splash.passes_run(), 40);
    EXPECT_FALSE(splash.ended_by_key());
}

TEST(Splash, EnterOrEscapeEndsTheWaitInTheSamePass) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        SCOPED_TRACE(key);
        FakeUi ui = screen({1024, 768});
        TFormStart splash(ui);
        int pass_of_key = 0;
        ui.fake_clock.on_sleep = [&] {
            if (ui.fake_clock.sleeps != 5) return;
            pass_of_key = splash.passes_run();
            QTest::keyClick(&splash, key);
        };
        splash.run_splash();
        EXPECT_EQ(pass_of_key, 5);
        EXPECT_EQ(splash.passes_run(), pass_of_key);
        EXPECT_TRUE(splash.ended_by_key());
        EXPECT_FALSE(splash.isVisible());
    }
}

TEST(Splash, HidesThePointerWhileShown) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    FakeUi ui = screen({1024, 768});
    TFormStart splash(ui);
    Qt::CursorShape during = Qt::ArrowCursor;
    QTimer::singleShot(0, &splash, [&] {
        if (const QCursor* c = QGuiApplication::overrideCursor()) during = c->shape();
    });
    splash.run_splash();
    EXPECT_EQ(during, Qt::BlankCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
