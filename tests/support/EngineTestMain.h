#pragma once

#include <QCoreApplication>
#include <QTest>

// Runs a QtTest class of the engine under a plain core application: no window system at all.
#define KORVANE_ENGINE_TEST_MAIN(TestClass)                                                                  \
    int main(int argc, char** argv) {                                                                        \
        QCoreApplication app(argc, argv);                                                                    \
        TestClass test;                                                                                      \
        return QTest::qExec(&test, argc, argv);                                                              \
    }
