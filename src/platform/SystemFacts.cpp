#include "platform/SystemFacts.h"

#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>

#include <sys/utsname.h>

#include <cmath>

OsFacts OperatingSystem()
{
    OsFacts os;
    os.productType = QSysInfo::prettyProductName();
    utsname u{};
    if (uname(&u) != 0)
        return os;
    os.name = QString::fromUtf8(u.sysname);
    os.servicePack = QString::fromUtf8(u.version);
    // "6.1.0-18-amd64": major, minor and the third number as the build
    static const QRegularExpression release(QStringLiteral("^(\\d+)\\.(\\d+)(?:\\.(\\d+))?"));
    const auto m = release.match(QString::fromUtf8(u.release));
    if (m.hasMatch()) {
        os.major = m.captured(1).toInt();
        os.minor = m.captured(2).toInt();
        os.build = m.captured(3).toInt();
    }
    return os;
}

CpuFacts Processor()
{
    CpuFacts cpu;
    QFile f(QStringLiteral("/proc/cpuinfo"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return cpu;
    // The first processor's block is enough: they are alike.
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.trimmed().isEmpty())
            break;
        const int colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray key = line.left(colon).trimmed();
        const QString value = QString::fromUtf8(line.mid(colon + 1).trimmed());
        if (key == "vendor_id")
            cpu.vendor = value;
        else if (key == "model name")
            cpu.name = value;
        else if (key == "cpu MHz")
            cpu.mhz = int(std::lround(value.toDouble()));
        else if (key == "flags")
            cpu.mmx = value.split(QLatin1Char(' ')).contains(QStringLiteral("mmx"));
        else if (key == "fdiv_bug")
            cpu.fdivBug = value == QLatin1String("yes");
    }
    return cpu;
}

QString ComputerName()
{
    return QSysInfo::machineHostName();
}
