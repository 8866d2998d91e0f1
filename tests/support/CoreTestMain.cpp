#include <QCoreApplication>

#include <gtest/gtest.h>

// Core tests run with an event loop available (timers, sockets) but no window system.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
