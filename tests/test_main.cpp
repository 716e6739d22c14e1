#include <QApplication>
#include <gtest/gtest.h>

// Every test binary gets a QApplication on the offscreen platform, so core,
// serial and window tests alike can use timers, event loops and widgets.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
