#include "fb/Connection.h"

#include "fb/ConnectionImpl.h"
#include "fb/Decimal.h"

#include <QFile>

#include <cstring>

namespace fb {

using namespace Firebird;
using detail::call;
using detail::Ref;

namespace {

constexpr int kDialect = 3;

// Connection parameter names as the program writes them, mapped to DPB tags.
int dpbTag(const QString& name)
{
    QString n = name.trimmed().toLower();
    if (n.startsWith(QLatin1String("isc_dpb_")))
        n = n.mid(8);
    if (n == QLatin1String("user_name") || n == QLatin1String("user"))
        return isc_dpb_user_name;
    if (n == QLatin1String("password"))
        return isc_dpb_password;
    if (n == QLatin1String("lc_ctype"))
        return isc_dpb_lc_ctype;
    if (n == QLatin1String("sql_role_name"))
        return isc_dpb_sql_role_name;
    return -1;
}

// Builds a DPB from the parameter lines plus the fixed SQL dialect.
Ref<IXpbBuilder> buildDpb(const QStringList& params)
{
    return call([&](ThrowStatusWrapper* st) {
        Ref<IXpbBuilder> dpb(detail::util()->getXpbBuilder(st, IXpbBuilder::DPB, nullptr, 0));
        dpb->insertInt(st, isc_dpb_sql_dialect, kDialect);
        for (const QString& line : params) {
            if (line.trimmed().isEmpty())
                continue;
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            const QString name = eq < 0 ? line : line.left(eq);
            const int tag = dpbTag(name);
            if (tag < 0)
                throw Error(QStringLiteral("Neznámy parameter pripojenia: %1").arg(name.trimmed()));
            dpb->insertString(st, tag, detail::encodeText(eq < 0 ? QString() : line.mid(eq + 1)).constData());
        }
        return dpb;
    });
}

// Info replies carry little-endian integers of 1 to 8 bytes.
std::int64_t readInt(const char* p, int len)
{
    std::uint64_t v = 0;
    for (int i = 0; i < len; ++i)
        v |= std::uint64_t(static_cast<unsigned char>(p[i])) << (8 * i);
    if (len > 0 && len < 8 && (static_cast<unsigned char>(p[len - 1]) & 0x80))
        v |= ~std::uint64_t(0) << (8 * len);  // sign-extend
    return std::int64_t(v);
}

QByteArray pathBytes(const QString& path)
{
    // The engine takes file names in the system's encoding.
    return QFile::encodeName(path);
}

// Reads an info block; returns the raw reply or throws.
QByteArray attachmentInfo(IAttachment* att, unsigned char item)
{
    for (unsigned size = 1024; size <= 1u << 20; size *= 8) {
        QByteArray buffer(int(size), '\0');
        call([&](ThrowStatusWrapper* st) {
            att->getInfo(st, 1, &item, size, reinterpret_cast<unsigned char*>(buffer.data()));
        });
        // a truncated reply ends with isc_info_truncated before isc_info_end
        bool truncated = false;
        for (int p = 0; p < buffer.size();) {
            const auto tag = static_cast<unsigned char>(buffer[p]);
            if (tag == isc_info_end)
                break;
            if (tag == isc_info_truncated) {
                truncated = true;
                break;
            }
            if (p + 3 > buffer.size())
                break;
            const int len = int(readInt(buffer.constData() + p + 1, 2));
            p += 3 + len;
        }
        if (!truncated)
            return buffer;
    }
    throw Error(QStringLiteral("Odpoveď servera na informačnú požiadavku je príliš dlhá."));
}

}  // namespace

IAttachment* attachmentOf(const Connection& connection)
{
    if (!connection.impl()->attachment)
        throw Error(QStringLiteral("Databáza nie je pripojená."));
    return connection.impl()->attachment.get();
}

Connection::Connection() : d(std::make_unique<Impl>())
{
    registerDecimalType();
}

Connection::~Connection()
{
    try {
        close();
    } catch (...) {
        // a broken link cannot be detached cleanly; the handle is released anyway
    }
}

void Connection::open(const QString& databasePath, const QStringList& params)
{
    close();
    Ref<IXpbBuilder> dpb = buildDpb(params);
    const QByteArray path = pathBytes(databasePath);
    call([&](ThrowStatusWrapper* st) {
        d->attachment.reset(detail::provider()->attachDatabase(st, path.constData(), dpb->getBufferLength(st),
                                                               dpb->getBuffer(st)));
    });
    ++*d->generation;
    m_path = databasePath;
    m_params = params;
}

void Connection::close()
{
    if (!d->attachment)
        return;
    ++*d->generation;
    try {
        call([&](ThrowStatusWrapper* st) { d->attachment->detach(st); });
        d->attachment.detach();  // detach() released the interface
    } catch (...) {
        d->attachment.reset();
        throw;
    }
}

bool Connection::isOpen() const
{
    return bool(d->attachment);
}

DatabaseInfo Connection::info() const
{
    // isc_info_db_id: count, then length-prefixed file name and site name
    const QByteArray reply = attachmentInfo(attachmentOf(*this), isc_info_db_id);
    DatabaseInfo out;
    if (reply.size() < 4 || static_cast<unsigned char>(reply[0]) != isc_info_db_id)
        return out;
    const int total = int(readInt(reply.constData() + 1, 2));
    const char* p = reply.constData() + 3;
    const char* end = p + total;
    int count = static_cast<unsigned char>(*p++);
    QStringList parts;
    while (count-- > 0 && p < end) {
        const int len = static_cast<unsigned char>(*p++);
        if (p + len > end)
            break;
        parts << QFile::decodeName(QByteArray(p, len));
        p += len;
    }
    out.fileName = parts.value(0);
    out.siteName = parts.value(1);
    return out;
}

QStringList Connection::attachedUsers() const
{
    const QByteArray reply = attachmentInfo(attachmentOf(*this), isc_info_user_names);
    QStringList users;
    for (int p = 0; p + 3 <= reply.size();) {
        const auto tag = static_cast<unsigned char>(reply[p]);
        if (tag != isc_info_user_names)
            break;
        const int len = int(readInt(reply.constData() + p + 1, 2));
        if (len > 0 && p + 3 + len <= reply.size()) {
            const int nameLen = static_cast<unsigned char>(reply[p + 3]);
            users << QString::fromLatin1(reply.constData() + p + 4, std::min(nameLen, len - 1));
        }
        p += 3 + len;
    }
    return users;
}

std::int64_t Connection::currentConnection() const
{
    const QByteArray reply = attachmentInfo(attachmentOf(*this), isc_info_attachment_id);
    if (reply.size() < 3 || static_cast<unsigned char>(reply[0]) != isc_info_attachment_id)
        throw Error(QStringLiteral("Server nevrátil číslo pripojenia."));
    const int len = int(readInt(reply.constData() + 1, 2));
    return readInt(reply.constData() + 3, len);
}

void Connection::createDatabase(const QString& databasePath, const QString& user, const QString& password,
                                int pageSize, const QString& charset)
{
    Ref<IXpbBuilder> dpb =
        buildDpb({QStringLiteral("USER_NAME=") + user, QStringLiteral("PASSWORD=") + password,
                  QStringLiteral("lc_ctype=") + charset});
    const QByteArray cs = charset.toLatin1();
    const QByteArray path = pathBytes(databasePath);
    call([&](ThrowStatusWrapper* st) {
        dpb->insertInt(st, isc_dpb_page_size, pageSize);
        dpb->insertString(st, isc_dpb_set_db_charset, cs.constData());
        Ref<IAttachment> att(
            detail::provider()->createDatabase(st, path.constData(), dpb->getBufferLength(st), dpb->getBuffer(st)));
        att->detach(st);
        att.detach();
    });
}

void Connection::dropDatabase(const QString& databasePath, const QString& user, const QString& password)
{
    Connection c;
    c.open(databasePath, {QStringLiteral("USER_NAME=") + user, QStringLiteral("PASSWORD=") + password});
    call([&](ThrowStatusWrapper* st) {
        c.d->attachment->dropDatabase(st);
        c.d->attachment.detach();
    });
}

}  // namespace fb
