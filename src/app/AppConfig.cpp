#include "app/AppConfig.h"

#include "app/ProgramLocations.h"
#include "db/NewDatabase.h"

#include "fb/Win1250.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>

#include <optional>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

const QByteArray kSection = "settings";
constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                                                QFileDevice::WriteUser;
constexpr QFileDevice::Permissions kAnyRead = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                              QFileDevice::ReadOther | QFileDevice::WriteOther;
const QByteArray kBom = "\xEF\xBB\xBF";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArray trimmedBlanks(const QByteArray& bytes)
{
    qsizetype from = 0;
    qsizetype to = bytes.size();
    while (from < to && isBlank(bytes[from]))
        ++from;
    while (to > from && isBlank(bytes[to - 1]))
        --to;
    return bytes.mid(from, to - from);
}

// The configuration file as the text a user edits: "key=value" lines in the
// section [Settings] (or the whole file when it has no sections at all).
// Values are taken as written, up to the end of the line: a comma or a
// semicolon is part of the value. Keys are found in any letter case. Only a
// key that is missing or empty is written; every other byte of the file
// (comments, order, unknown keys and sections, line endings) stays.
class ConfigFile {
public:
    explicit ConfigFile(QString path) : m_path(std::move(path)) { load(); }

    // The value of `key`; empty when the key is missing or has no value.
    QString value(const QString& key) const
    {
        const std::optional<qsizetype> line = find(key);
        return line ? valueOf(m_lines[*line].text) : QString();
    }

    // Writes `value` into the key's empty line, or appends the key at the end
    // of the section.
    void set(const QString& key, const QString& value)
    {
        if (const std::optional<qsizetype> line = find(key)) {
            QByteArray& text = m_lines[*line].text;
            const qsizetype eq = text.indexOf('=');
            const bool spaced = eq + 1 < text.size() && isBlank(text[eq + 1]);
            text = text.left(eq + 1) + (spaced ? " " : "") + encode(value);
        } else {
            append(encode(key) + '=' + encode(value));
        }
        m_changed = true;
    }

    // Writes the file when something changed. A folder that cannot be written
    // leaves the file as it was; the values read still hold for this run.
    void save()
    {
        if (!m_changed)
            return;
        QByteArray bytes = m_bom;
        for (const Line& line : m_lines)
            bytes += line.text + line.eol;
        // The user's configuration folder does not exist before the first start.
        QDir().mkpath(QFileInfo(m_path).absolutePath());
        QSaveFile file(m_path);
        if (file.open(QIODevice::WriteOnly)) {
            // It holds the database password: for its owner's eyes only, from
            // the first byte on (the permissions go to the file being written).
            file.setPermissions(kOwnerOnly);
            file.write(bytes);
            file.commit();
        }
        m_changed = false;
    }

    // A file written before it was kept private, still readable by others:
    // made private, when it is this user's.
    void restrictAccess() const
    {
#ifdef Q_OS_UNIX
        const QFileInfo info(m_path);
        if (info.exists() && info.ownerId() == ::getuid() && (info.permissions() & kAnyRead))
            QFile::setPermissions(m_path, kOwnerOnly);
#endif
    }

private:
    struct Line {
        QByteArray text;  // without the line ending
        QByteArray eol;   // "\r\n", "\n", or empty for a last line without one
    };

    void load()
    {
        QByteArray bytes;
        QFile file(m_path);
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
        if (bytes.startsWith(kBom)) {
            m_bom = kBom;
            bytes.remove(0, kBom.size());
        }
        // UTF-8 unless the bytes are not; then the Windows code page the file
        // was written in on its first home.
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8(bytes);
        m_utf8 = !utf8.hasError();

        qsizetype pos = 0;
        while (pos < bytes.size()) {
            const qsizetype nl = bytes.indexOf('\n', pos);
            Line line;
            if (nl < 0) {
                line.text = bytes.mid(pos);
                pos = bytes.size();
            } else {
                const bool crlf = nl > pos && bytes[nl - 1] == '\r';
                line.text = bytes.mid(pos, nl - pos - (crlf ? 1 : 0));
                line.eol = crlf ? "\r\n" : "\n";
                if (m_eol.isEmpty())
                    m_eol = line.eol;
                pos = nl + 1;
            }
            m_lines.append(line);
        }
        if (m_eol.isEmpty())
            m_eol = "\n";
        findSection();
    }

    static std::optional<QByteArray> sectionName(const QByteArray& text)
    {
        const QByteArray t = trimmedBlanks(text);
        if (!t.startsWith('['))
            return std::nullopt;
        const qsizetype close = t.indexOf(']');
        if (close < 0)
            return std::nullopt;
        return trimmedBlanks(t.mid(1, close - 1));
    }

    void findSection()
    {
        bool anySection = false;
        for (qsizetype i = 0; i < m_lines.size(); ++i) {
            const std::optional<QByteArray> name = sectionName(m_lines[i].text);
            if (!name)
                continue;
            if (m_begin >= 0) {
                m_end = i;
                return;
            }
            anySection = true;
            if (name->toLower() == kSection) {
                m_begin = i + 1;
                m_end = m_lines.size();
            }
        }
        if (m_begin < 0 && !anySection && hasText()) {
            // plain key=value lines without sections
            m_begin = 0;
            m_end = m_lines.size();
        }
    }

    bool hasText() const
    {
        for (const Line& line : m_lines)
            if (!trimmedBlanks(line.text).isEmpty())
                return true;
        return false;
    }

    static bool isComment(const QByteArray& trimmed)
    {
        return trimmed.startsWith(';') || trimmed.startsWith('#');
    }

    QString decode(const QByteArray& bytes) const
    {
        return m_utf8 ? QString::fromUtf8(bytes) : text::fromWin1250(bytes);
    }

    QByteArray encode(const QString& text) const
    {
        QByteArray bytes;
        if (!m_utf8 && text::toWin1250(text, bytes))
            return bytes;
        return text.toUtf8();
    }

    std::optional<qsizetype> find(const QString& key) const
    {
        if (m_begin < 0)
            return std::nullopt;
        for (qsizetype i = m_begin; i < m_end; ++i) {
            const QByteArray t = trimmedBlanks(m_lines[i].text);
            const qsizetype eq = t.indexOf('=');
            if (eq <= 0 || isComment(t))
                continue;
            if (decode(trimmedBlanks(t.left(eq))).compare(key, Qt::CaseInsensitive) == 0)
                return i;
        }
        return std::nullopt;
    }

    // What follows the first "=", without the blanks around it; a value in
    // double quotes (as earlier versions wrote one with a comma) loses them.
    QString valueOf(const QByteArray& text) const
    {
        QByteArray v = trimmedBlanks(text.mid(text.indexOf('=') + 1));
        if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"'))
            v = v.mid(1, v.size() - 2);
        return decode(v);
    }

    void insert(qsizetype at, const QByteArray& text)
    {
        // A last line without an ending gets one before anything follows it.
        if (at > 0 && m_lines[at - 1].eol.isEmpty())
            m_lines[at - 1].eol = m_eol;
        m_lines.insert(at, Line{text, m_eol});
        if (m_begin >= 0 && at <= m_end)
            ++m_end;
    }

    void append(const QByteArray& text)
    {
        if (m_begin < 0) {
            // The file has other sections only, or nothing at all: the
            // section starts at the end, after a blank line.
            if (hasText() && !trimmedBlanks(m_lines.constLast().text).isEmpty())
                insert(m_lines.size(), {});
            insert(m_lines.size(), QByteArray("[Settings]"));
            m_begin = m_end = m_lines.size();
        }
        // After the section's last line that is not blank, so the blank lines
        // before the next section stay where they are.
        qsizetype at = m_end;
        while (at > m_begin && trimmedBlanks(m_lines[at - 1].text).isEmpty())
            --at;
        insert(at, text);
    }

    QString m_path;
    QList<Line> m_lines;
    QByteArray m_bom;
    QByteArray m_eol;
    bool m_utf8 = true;
    bool m_changed = false;
    qsizetype m_begin = -1;  // the section's lines: [m_begin, m_end)
    qsizetype m_end = -1;
};

// Reads a key; when missing or empty, writes `fallback` and returns it.
QString readOrDefault(ConfigFile& ini, const QString& key, const QString& fallback)
{
    const QString value = ini.value(key);
    if (!value.isEmpty())
        return value;
    ini.set(key, fallback);
    return fallback;
}

}  // namespace

QString ConfigPathFor(const QString& executablePath)
{
    const QFileInfo fi(executablePath);
    const QString base = fi.suffix().isEmpty() ? fi.fileName() : fi.completeBaseName();
    return fi.dir().filePath(base + QStringLiteral(".ini"));
}

bool IniBool(const QString& value)
{
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    return ok && n != 0;
}

bool ReadShiftForClose(const QString& iniPath)
{
    ConfigFile ini(iniPath);
    const bool value = IniBool(readOrDefault(ini, QStringLiteral("ShiftForClose"), QStringLiteral("0")));
    ini.save();
    return value;
}

QString ReadSupportEmail(const QString& iniPath)
{
    ConfigFile ini(iniPath);
    const QString value = readOrDefault(ini, QStringLiteral("SupportEmail"), QStringLiteral("podpora@kovra.sk"));
    ini.save();
    return value.trimmed();
}

ConnectionSettings ReadConnectionSettings(const QString& iniPath, const ConnectionSettings& defaults)
{
    ConfigFile ini(iniPath);
    ConnectionSettings s;
    s.database = readOrDefault(ini, QStringLiteral("Database"), defaults.database);
    s.userName = readOrDefault(ini, QStringLiteral("User_Name"), QStringLiteral("SYSDBA"));
    s.password = readOrDefault(ini, QStringLiteral("Password"), QStringLiteral("pinebrook"));
    s.reports = readOrDefault(ini, QStringLiteral("Reports"), defaults.reports);
    s.backups = readOrDefault(ini, QStringLiteral("Backups"), defaults.backups);
    ini.save();
    ini.restrictAccess();
    return s;
}

int ReadBackupCopies(const QString& iniPath)
{
    ConfigFile ini(iniPath);
    bool ok = false;
    const int copies = readOrDefault(ini, QStringLiteral("BackupCopies"), QStringLiteral("5")).trimmed().toInt(&ok);
    ini.save();
    return ok && copies >= 0 ? copies : 5;
}

bool ReadAutomaticBackup(const QString& iniPath, const QString& databasePath)
{
    ConfigFile ini(iniPath);
    const QString fallback = IsLocalDatabasePath(databasePath.trimmed()) ? QStringLiteral("1") : QStringLiteral("0");
    const bool value = IniBool(readOrDefault(ini, QStringLiteral("AutomatickaZaloha"), fallback));
    ini.save();
    return value;
}

ConnectionSettings ReadConnectionSettings(const QString& iniPath, const QString& executableDir)
{
    const QString dir = QDir::toNativeSeparators(executableDir);
    ConnectionSettings defaults;
    defaults.database = dir + QStringLiteral("Data") + QDir::separator() + QStringLiteral("Lindavo.fdb");
    defaults.reports = dir + QStringLiteral("Reports");
    defaults.backups = dir + QStringLiteral("Zalohy");
    return ReadConnectionSettings(iniPath, defaults);
}

ConnectionSettings ReadConnectionSettings(const QString& iniPath, const ProgramLocations& locations)
{
    ConnectionSettings defaults;
    defaults.database = locations.database;
    defaults.reports = locations.reports;
    defaults.backups = locations.backups;
    return ReadConnectionSettings(iniPath, defaults);
}

QStringList ConnectionParams(const ConnectionSettings& settings)
{
    return {QStringLiteral("USER_NAME=") + settings.userName, QStringLiteral("PASSWORD=") + settings.password,
            QStringLiteral("lc_ctype=WIN1250")};
}
