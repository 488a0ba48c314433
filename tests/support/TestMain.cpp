// main() of every test executable: an application object first, as Qt code expects one.
#include <gtest/gtest.h>

#include <QStandardPaths>

#ifdef QUINTARA_GUI_TESTS
#include <QApplication>
using Application = QApplication;
#else
#include <QCoreApplication>
using Application = QCoreApplication;
#endif

// Libraries outside our control that keep an allocation until exit.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libdbus-1.so\nleak:libfontconfig.so\n";
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery runs the executable without the test environment: never look for a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Fixtures such as the demo installation are found from the source tree.
    if (qEnvironmentVariableIsEmpty("QUINTARA_SOURCE_DIR"))
        qputenv("QUINTARA_SOURCE_DIR", QUINTARA_SOURCE_DIR_DEFAULT);
    Application app(argc, argv);
    // The user's own data (a site book the window would show first) is never the tests'.
    QStandardPaths::setTestModeEnabled(true);
    return RUN_ALL_TESTS();
}
