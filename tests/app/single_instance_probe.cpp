// Claims the single-instance name of the path given on the command line.
// Prints "first" and waits (at most 10 s) for a later start to wake it, then
// prints "activated"; a later start prints "second" and exits 0 at once.

#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    SingleInstance instance(QString::fromLocal8Bit(argv[1]));
    if (!instance.claim()) {
        std::puts("second");
        return 0;
    }
    std::puts("first");
    std::fflush(stdout);
    QObject::connect(&instance, &SingleInstance::activationRequested, &app, [] {
        std::puts("activated");
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    QTimer::singleShot(10000, &app, [] { QCoreApplication::exit(3); });
    return app.exec();
}
