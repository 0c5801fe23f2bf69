#pragma once

#include "app/TKorvaneApplication.h"
#include "support/FakeDialogs.h"

#include <QTest>

// Runs a QtTest class under the program's own application object with fake dialogs.
#define KORVANE_TEST_MAIN(TestClass)                                                                         \
    int main(int argc, char** argv) {                                                                        \
        TKorvaneApplication app(argc, argv, testDialogs());                                                  \
        TestClass test;                                                                                      \
        return QTest::qExec(&test, argc, argv);                                                              \
    }
