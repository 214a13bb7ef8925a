#pragma once

#include "ui/Appearance.h"

#include <QApplication>
#include <QTest>

// A GUI test runs with the program's own font, style and translations, so that what it
// measures and reads is what a player sees.
#define VELLUMI_GUI_TEST_MAIN(TestClass)                                                                              \
    int main(int argc, char* argv[])                                                                                  \
    {                                                                                                                 \
        QApplication app(argc, argv);                                                                                 \
        vellumi::applyAppearance(app);                                                                                \
        TestClass test;                                                                                               \
        return QTest::qExec(&test, argc, argv);                                                                       \
    }
