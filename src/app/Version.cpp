#include "app/Version.h"

#include "generated/version.h"

FileVersionInfo FileVersion()
{
    return {LINDAVO_VERSION_MAJOR, LINDAVO_VERSION_MINOR, LINDAVO_VERSION_RELEASE, LINDAVO_VERSION_BUILD};
}

QString VersionText()
{
    const FileVersionInfo v = FileVersion();
    return QStringLiteral("%1.%2.%3.%4").arg(v.major).arg(v.minor).arg(v.release).arg(v.build);
}

unsigned short SupportedVersion()
{
    return FileVersion().release;
}
