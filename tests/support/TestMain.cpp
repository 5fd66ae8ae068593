// The main of every Qt test program: a QApplication on the offscreen platform
// in the C locale, made Slovak by the program's own set-up, and a settings store in a temporary folder for the whole
// run (tests that need a clean store make their own TempSettings on top).
#include "framework/UiHelpers.h"
#include "support/TempSettings.h"

#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The environment of a desktop that is not Slovak: what the user sees must
    // not depend on it.
    qputenv("LANG", "C");
    qputenv("LC_ALL", "C");
    QApplication app(argc, argv);
    UseSlovakUserInterface();
    TempSettings settings;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
