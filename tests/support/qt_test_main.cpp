#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "gps/map_browser.h"
#include "playback/video_static.h"

// One QApplication for the whole run of a widget test. The settings file
// lands in the working directory, so the run moves into a scratch folder.
// Pages are rendered in software as in the viewer: a hardware scene graph
// makes Qt re-create the main window once the map page is added, which
// leaves the engine drawing into a window id that no longer exists. The map
// pages keep their tile cache in the scratch folder too.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) qputenv("QT_QUICK_BACKEND", "software");
    orvo::PrepareBrowserGraphics();
    orvo::UseFewNativeWindows();
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    if (!scratch.isValid() || !QDir::setCurrent(scratch.path())) return 2;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(scratch.filePath(QStringLiteral("cache"))));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
