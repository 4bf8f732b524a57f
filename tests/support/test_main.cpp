#include <QApplication>
#include <gtest/gtest.h>

#include <clocale>

// Every test program runs with a QApplication (windows are tested offscreen)
// and the C numeric locale that libmpv needs.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
