#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

// Widget tests need one QApplication for the whole run. The settings file
// lands in the working directory, so the run moves into a scratch folder.
// The map page is rendered in software as in the viewer: a hardware scene
// graph makes Qt re-create the main window once the page is added, which
// leaves the engine drawing into a window id that no longer exists.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) qputenv("QT_QUICK_BACKEND", "software");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    if (scratch.isValid()) QDir::setCurrent(scratch.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
