#include "db/UpdatePackage.h"

#include "db/MemTable.h"
#include "db/XMLDataset.h"

#include <QFile>

#include <zlib.h>

#include <limits>

// The resource lives in a static library; naming its initialiser here makes the
// linker keep it in every program that reads the package.
static void initUpdatePackageResource()
{
    Q_INIT_RESOURCE(updatepkg);
}

std::optional<QByteArray> inflateZlib(const QByteArray& compressed)
{
    if (compressed.size() > qsizetype(std::numeric_limits<uInt>::max()))
        return std::nullopt;
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return std::nullopt;
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData()));
    zs.avail_in = uInt(compressed.size());

    QByteArray out;
    char chunk[16384];
    int rc = Z_OK;
    while (rc == Z_OK) {
        zs.next_out = reinterpret_cast<Bytef*>(chunk);
        zs.avail_out = sizeof chunk;
        rc = inflate(&zs, Z_NO_FLUSH);
        out.append(chunk, qsizetype(sizeof chunk - zs.avail_out));
        // Z_BUF_ERROR with no input left means the stream was cut short.
    }
    inflateEnd(&zs);
    if (rc != Z_STREAM_END)
        return std::nullopt;
    return out;
}

QByteArray embeddedUpdatePackage()
{
    static const bool registered = (initUpdatePackageResource(), true);
    Q_UNUSED(registered);
    QFile file(QStringLiteral(":/UPDATEZLIB"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool loadUpdatePackage(const QByteArray& compressed, MemTable& table, QString* error)
{
    const std::optional<QByteArray> packet = inflateZlib(compressed);
    if (!packet) {
        table.clearFields();
        if (error)
            *error = QStringLiteral("The update package is damaged (zlib data)");
        return false;
    }
    TXMLDataset reader(&table);
    const bool ok = reader.loadFromBytes(*packet);
    if (!ok && error)
        *error = reader.lastError();
    return ok;
}

bool loadUpdatePackage(MemTable& table, QString* error)
{
    return loadUpdatePackage(embeddedUpdatePackage(), table, error);
}
