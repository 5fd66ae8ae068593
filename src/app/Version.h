#pragma once

#include <QString>

// The program's file version: major.minor.release.build. The release number is
// the schema version this build supports.
struct FileVersionInfo {
    unsigned short major = 0, minor = 0, release = 0, build = 0;
};

FileVersionInfo FileVersion();
QString VersionText();          // "1.4.103.29"
unsigned short SupportedVersion();  // the release number, 103
