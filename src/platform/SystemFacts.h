#pragma once

#include <QString>

// What the exception report tells about the machine (the display is the
// window system's business and is asked for there).
struct OsFacts {
    QString name;         // kernel: "Linux"
    QString productType;  // distribution: "Debian GNU/Linux 12 (bookworm)"
    int major = 0, minor = 0, build = 0;  // kernel release 6.1.55 -> 6, 1, 55
    QString servicePack;  // the kernel's build text
};
OsFacts OperatingSystem();

struct CpuFacts {
    QString vendor, name;
    int mhz = 0;
    bool mmx = false;
    bool fdivBug = false;
};
CpuFacts Processor();

QString ComputerName();
