#include "platform/Sound.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

SoundPlayer& player()
{
    static SoundPlayer p;
    return p;
}

}  // namespace

SoundPlayer setSoundPlayer(SoundPlayer p)
{
    SoundPlayer previous = std::move(player());
    player() = std::move(p);
    return previous;
}

void PlaySoundFileAsync(const QString& path)
{
    if (player()) {
        player()(path);
        return;
    }
    if (!QFileInfo::exists(path))
        return;
    for (const char* name : {"paplay", "aplay"}) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!program.isEmpty()) {
            const QStringList args = name[0] == 'a' ? QStringList{QStringLiteral("-q"), path} : QStringList{path};
            QProcess::startDetached(program, args);
            return;
        }
    }
}
