#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

// Widget tests need one QApplication for the whole run. The settings file
// lands in the working directory, so the run moves into a scratch folder.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    if (scratch.isValid()) QDir::setCurrent(scratch.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
