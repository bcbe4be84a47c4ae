#pragma once

// A main window with the real engine, active, for tests that drive it with
// key events. Card set-up stays with each test suite.

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include <QApplication>
#include <QRect>
#include <QTest>
#include <QWindow>

#include "app/qor_dlg.h"

namespace orvo::test_support {

class EngineWindowFixture : public ::testing::Test {
protected:
    // Where the window is placed before it is shown; its own default when unset.
    std::optional<QRect> geometry;

    void SetUp() override {
        QorDlgOptions options;
        options.warn_when_engine_missing = false;
        window = std::make_unique<CQORDlg>(nullptr, options);
        if (geometry) window->setGeometry(*geometry);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ASSERT_TRUE(window->Player().available()) << "libVLC must be installed for these tests";
    }

    void TearDown() override {
        if (window) window->Player().Stop();
        window.reset();
    }

    CVlcPlayer& player() { return window->Player(); }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window->windowHandle(), static_cast<Qt::Key>(key), modifiers);
        QApplication::processEvents();
    }

    std::unique_ptr<CQORDlg> window;
};

}  // namespace orvo::test_support
