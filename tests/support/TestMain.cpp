// main() of every test executable: an application object first, as Qt code expects one.
#include <gtest/gtest.h>

#ifdef QUINTARA_GUI_TESTS
#include <QApplication>
using Application = QApplication;
#else
#include <QCoreApplication>
using Application = QCoreApplication;
#endif

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    Application app(argc, argv);
    return RUN_ALL_TESTS();
}
