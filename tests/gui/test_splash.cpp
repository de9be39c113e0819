// The splash screen: size and place, the wait and what ends it, the pointer.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "gui/Quil_000.h"

namespace {

SplashSeams quick(QSize screen = {1024, 768}, int passes = 10) {
    SplashSeams s;
    s.screen_size = [screen] { return screen; };
    s.passes = passes;
    s.pass_ms = 10;
    return s;
}

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
        TFormStart splash(quick(c.screen, 1));
        QRect while_shown;
        QTimer::singleShot(0, &splash, [&] { while_shown = splash.geometry(); });
        splash.run_splash();
        EXPECT_EQ(while_shown, c.splash);
        EXPECT_FALSE(splash.isVisible());
    }
}

TEST(Splash, ShowsThePictureStretchedWithoutText) {
    TFormStart splash(quick({800, 600}, 1));
    QSize picture;
    QSize image_area;
    QTimer::singleShot(0, &splash, [&] {
        picture = splash.Image->pixmap().size();
        image_area = splash.Image->size();
    });
    splash.run_splash();
    EXPECT_EQ(picture, QSize(496, 288));
    EXPECT_TRUE(splash.Image->hasScaledContents());
    // Border line and width inside the 384 x 240 form.
    EXPECT_EQ(image_area, QSize(384 - 6, 240 - 6));
    EXPECT_TRUE(splash.windowTitle().isEmpty());
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
}

TEST(Splash, WithoutEnterOrEscapeWaitsAllPasses) {
    TFormStart splash(quick());
    QTimer::singleShot(15, &splash, [&] {
        QTest::keyClick(&splash, Qt::Key_A);
        QTest::keyClick(&splash, Qt::Key_Space);
        QTest::keyClick(&splash, Qt::Key_F1);
        QTest::mouseClick(&splash, Qt::LeftButton);
        QTest::mouseClick(&splash, Qt::RightButton);
    });
    splash.run_splash();
    EXPECT_EQ(splash.passes_run(), 10);
    EXPECT_FALSE(splash.key_pressed);
}

TEST(Splash, EnterOrEscapeEndsTheWaitInTheSamePass) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        SCOPED_TRACE(key);
        TFormStart splash(quick());
        int pass_of_key = 0;
        QTimer::singleShot(25, &splash, [&] {
            pass_of_key = splash.passes_run();
            QTest::keyClick(&splash, key);
        });
        splash.run_splash();
        EXPECT_GT(pass_of_key, 0);
        EXPECT_EQ(splash.passes_run(), pass_of_key);
        EXPECT_FALSE(splash.isVisible());
    }
}

TEST(Splash, HidesThePointerWhileShown) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    TFormStart splash(quick({1024, 768}, 2));
    Qt::CursorShape during = Qt::ArrowCursor;
    QTimer::singleShot(0, &splash, [&] {
        if (const QCursor* c = QGuiApplication::overrideCursor()) during = c->shape();
    });
    splash.run_splash();
    EXPECT_EQ(during, Qt::BlankCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(Splash, DefaultWaitIsFortyPassesOfATenthOfASecond) {
    SplashSeams seams;
    seams.screen_size = [] { return QSize(800, 600); };
    TFormStart splash(seams);
    QElapsedTimer clock;
    clock.start();
    splash.run_splash();
    EXPECT_EQ(splash.passes_run(), 40);
    EXPECT_GE(clock.elapsed(), 4000);
    EXPECT_LT(clock.elapsed(), 8000);
}

}  // namespace
