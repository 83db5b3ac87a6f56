// GoogleTest entry point of the tests of the pure libraries: no QApplication and no
// widgets; a QCoreApplication gives the worker threads an event loop to report to.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
