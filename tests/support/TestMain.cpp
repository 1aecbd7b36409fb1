#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Every test program runs with a real QApplication on the offscreen platform, so window tests and
// record-set signals behave as in the program, without a display.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The program logs into its working folder: the tests' logs go to a folder of their own.
    const QTemporaryDir workingFolder;
    QDir::setCurrent(workingFolder.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
