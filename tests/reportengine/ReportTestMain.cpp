// The engine's tests need fonts and images but no database: a QApplication
// on the offscreen platform and the Slovak locale.
#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Slovak, QLocale::Slovakia));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
