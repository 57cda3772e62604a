// GoogleTest's main with a QCoreApplication, for tests that use Qt's I/O
// classes (their socket notifiers need the application's event dispatcher).

#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
