#include "BareFetch.h"

#include "fb/Win1250.h"

#include <firebird/Interface.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

using namespace Firebird;

namespace {

IMaster* master()
{
    static IMaster* m = fb_get_master_interface();
    return m;
}

QByteArray win1250(const QString& text)
{
    QByteArray bytes;
    if (!text::toWin1250(text, bytes))
        throw std::runtime_error("not WIN1250 text: " + text.toStdString());
    return bytes;
}

IXpbBuilder* readCommittedReadOnly(ThrowStatusWrapper* st)
{
    IXpbBuilder* tpb = master()->getUtilInterface()->getXpbBuilder(st, IXpbBuilder::TPB, nullptr, 0);
    for (int tag : {isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_read, isc_tpb_nowait})
        tpb->insertTag(st, tag);
    return tpb;
}

// Fetches every row of an open cursor into one buffer.
int drain(ThrowStatusWrapper* st, IResultSet* rs, std::vector<std::uint64_t>& buffer)
{
    int rows = 0;
    while (rs->fetchNext(st, buffer.data()) == IStatus::RESULT_OK)
        ++rows;
    return rows;
}

}  // namespace

struct BareConnection::Impl {
    ThrowStatusWrapper st{master()->getStatus()};
    IAttachment* att = nullptr;
    IXpbBuilder* tpb = nullptr;
    ITransaction* write = nullptr;

    ~Impl()
    {
        try {
            if (write)
                write->rollback(&st);
            if (tpb)
                tpb->dispose();
            if (att)
                att->detach(&st);
        } catch (const FbException&) {
        }
        st.dispose();
    }
};

BareConnection::BareConnection(const QString& path, const QString& user, const QString& password)
    : d(std::make_unique<Impl>())
{
    ThrowStatusWrapper* st = &d->st;
    IXpbBuilder* dpb = master()->getUtilInterface()->getXpbBuilder(st, IXpbBuilder::DPB, nullptr, 0);
    dpb->insertString(st, isc_dpb_user_name, user.toUtf8().constData());
    dpb->insertString(st, isc_dpb_password, password.toUtf8().constData());
    dpb->insertString(st, isc_dpb_lc_ctype, "WIN1250");
    const QByteArray file = path.toLocal8Bit();
    d->att = master()->getDispatcher()->attachDatabase(st, file.constData(), dpb->getBufferLength(st),
                                                       dpb->getBuffer(st));
    dpb->dispose();
    d->tpb = readCommittedReadOnly(st);
}

BareConnection::~BareConnection() = default;

int BareConnection::fetchAll(const QString& sql)
{
    ThrowStatusWrapper* st = &d->st;
    const QByteArray text = win1250(sql);
    ITransaction* tra = d->att->startTransaction(st, d->tpb->getBufferLength(st), d->tpb->getBuffer(st));
    IStatement* stmt =
        d->att->prepare(st, tra, unsigned(text.size()), text.constData(), 3, IStatement::PREPARE_PREFETCH_METADATA);
    IMessageMetadata* meta = stmt->getOutputMetadata(st);
    std::vector<std::uint64_t> buffer((meta->getMessageLength(st) + 7) / 8);
    IResultSet* rs = stmt->openCursor(st, tra, nullptr, nullptr, meta, 0);
    const int rows = drain(st, rs, buffer);
    rs->close(st);
    meta->release();
    stmt->free(st);
    tra->commit(st);
    return rows;
}

int BareConnection::fetchAllIntoStore(const QString& sql, int chunkRows)
{
    return fetchIntoStore(sql, chunkRows, false);
}

int BareConnection::fetchAllIntoStoreWithBlobs(const QString& sql, int chunkRows)
{
    return fetchIntoStore(sql, chunkRows, true);
}

int BareConnection::fetchIntoStore(const QString& sql, int chunkRows, bool blobs)
{
    ThrowStatusWrapper* st = &d->st;
    const QByteArray text = win1250(sql);
    ITransaction* tra = d->att->startTransaction(st, d->tpb->getBufferLength(st), d->tpb->getBuffer(st));
    IStatement* stmt =
        d->att->prepare(st, tra, unsigned(text.size()), text.constData(), 3, IStatement::PREPARE_PREFETCH_METADATA);
    IMessageMetadata* meta = stmt->getOutputMetadata(st);
    const size_t rowWords = (meta->getMessageLength(st) + 7) / 8;
    struct BlobField {
        unsigned offset, nullOffset;
    };
    std::vector<BlobField> blobFields;
    if (blobs)
        for (unsigned i = 0; i < meta->getCount(st); ++i)
            if ((meta->getType(st, i) & ~1u) == SQL_BLOB)
                blobFields.push_back({meta->getOffset(st, i), meta->getNullOffset(st, i)});
    std::vector<std::unique_ptr<std::uint64_t[]>> chunks;
    std::vector<QByteArray> contents;
    IResultSet* rs = stmt->openCursor(st, tra, nullptr, nullptr, meta, 0);
    int rows = 0;
    char segment[16384];
    for (;;) {
        if (rows % chunkRows == 0)
            chunks.push_back(std::make_unique_for_overwrite<std::uint64_t[]>(size_t(chunkRows) * rowWords));
        std::uint64_t* slot = chunks.back().get() + size_t(rows % chunkRows) * rowWords;
        if (rs->fetchNext(st, slot) != IStatus::RESULT_OK)
            break;
        const auto* message = reinterpret_cast<const unsigned char*>(slot);
        for (const BlobField& f : blobFields) {
            short null = 0;
            std::memcpy(&null, message + f.nullOffset, sizeof null);
            if (null)
                continue;
            ISC_QUAD id;
            std::memcpy(&id, message + f.offset, sizeof id);
            IBlob* blob = d->att->openBlob(st, tra, &id, 0, nullptr);
            QByteArray data;
            unsigned got = 0;
            while (blob->getSegment(st, sizeof segment, segment, &got) != IStatus::RESULT_NO_DATA)
                data.append(segment, int(got));
            blob->close(st);
            contents.push_back(std::move(data));
        }
        ++rows;
    }
    rs->close(st);
    meta->release();
    stmt->free(st);
    tra->commit(st);
    return rows;
}

void BareConnection::executeEachCommitted(const QList<QStringList>& groups)
{
    ThrowStatusWrapper* st = &d->st;
    for (const QStringList& group : groups) {
        ITransaction* tra = d->att->startTransaction(st, 0, nullptr);
        for (const QString& statement : group) {
            const QByteArray text = win1250(statement);
            d->att->execute(st, tra, unsigned(text.size()), text.constData(), 3, nullptr, nullptr, nullptr,
                            nullptr);
        }
        tra->commit(st);
    }
}

void BareConnection::startWrite()
{
    ThrowStatusWrapper* st = &d->st;
    IXpbBuilder* tpb = master()->getUtilInterface()->getXpbBuilder(st, IXpbBuilder::TPB, nullptr, 0);
    for (int tag : {isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_write, isc_tpb_nowait})
        tpb->insertTag(st, tag);
    d->write = d->att->startTransaction(st, tpb->getBufferLength(st), tpb->getBuffer(st));
    tpb->dispose();
}

void BareConnection::commit()
{
    d->write->commit(&d->st);
    d->write = nullptr;
}

qint64 BareConnection::execute(const QString& sql, const QList<QVariantList>& rows)
{
    ThrowStatusWrapper* st = &d->st;
    ITransaction* tra = d->write;
    const QByteArray text = win1250(sql);
    IStatement* stmt =
        d->att->prepare(st, tra, unsigned(text.size()), text.constData(), 3, IStatement::PREPARE_PREFETCH_METADATA);
    IMessageMetadata* declared = stmt->getInputMetadata(st);
    IMessageMetadata* out = stmt->getOutputMetadata(st);
    const unsigned count = declared->getCount(st);
    // Text parameters as VARCHAR wide enough for every row's value; the rest
    // as declared.
    std::vector<QList<QByteArray>> texts(count);
    std::vector<unsigned> widths(count, 0);
    for (const QVariantList& row : rows)
        for (unsigned i = 0; i < count; ++i) {
            const QByteArray bytes = row[int(i)].typeId() == QMetaType::Int ? QByteArray() : win1250(row[int(i)].toString());
            widths[i] = std::max<unsigned>(widths[i], unsigned(bytes.size()));
            texts[i] << bytes;
        }
    IMetadataBuilder* builder = declared->getBuilder(st);
    std::vector<bool> integer(count);
    for (unsigned i = 0; i < count; ++i) {
        integer[i] = !rows.isEmpty() && rows[0][int(i)].typeId() == QMetaType::Int;
        if (integer[i]) {
            builder->setType(st, i, SQL_LONG + 1);
            builder->setLength(st, i, sizeof(std::int32_t));
            builder->setScale(st, i, 0);
        } else {
            builder->setType(st, i, SQL_VARYING + 1);
            builder->setLength(st, i, std::max(1u, widths[i]));
        }
    }
    IMessageMetadata* in = builder->getMetadata(st);
    builder->release();
    std::vector<unsigned> offsets(count), nullOffsets(count);
    for (unsigned i = 0; i < count; ++i) {
        offsets[i] = in->getOffset(st, i);
        nullOffsets[i] = in->getNullOffset(st, i);
    }
    const bool outputs = out->getCount(st) > 0;
    std::vector<std::uint64_t> inBuffer((in->getMessageLength(st) + 7) / 8, 0);
    std::vector<std::uint64_t> outBuffer((out->getMessageLength(st) + 7) / 8, 0);
    auto* base = reinterpret_cast<unsigned char*>(inBuffer.data());
    const bool select = stmt->getType(st) == isc_info_sql_stmt_select;
    qint64 total = 0;
    for (int r = 0; r < rows.size(); ++r) {
        for (unsigned i = 0; i < count; ++i) {
            unsigned char* p = base + offsets[i];
            const short null = 0;
            std::memcpy(base + nullOffsets[i], &null, sizeof null);
            if (!integer[i]) {
                const QByteArray& b = texts[i][r];
                const auto length = static_cast<unsigned short>(b.size());
                std::memcpy(p, &length, sizeof length);
                std::memcpy(p + 2, b.constData(), length);
            } else {
                const std::int32_t v = rows[r][int(i)].toInt();
                std::memcpy(p, &v, sizeof v);
            }
        }
        if (select) {
            IResultSet* rs = stmt->openCursor(st, tra, in, base, out, 0);
            total += drain(st, rs, outBuffer);
            rs->close(st);
        } else {
            stmt->execute(st, tra, in, base, outputs ? out : nullptr, outputs ? outBuffer.data() : nullptr);
            total += qint64(stmt->getAffectedRecords(st));
        }
    }
    in->release();
    out->release();
    declared->release();
    stmt->free(st);
    return total;
}

qint64 BareConnection::scalar(const QString& sql)
{
    ThrowStatusWrapper* st = &d->st;
    const QByteArray text = win1250(sql);
    IStatement* stmt = d->att->prepare(st, d->write, unsigned(text.size()), text.constData(), 3,
                                       IStatement::PREPARE_PREFETCH_METADATA);
    IMessageMetadata* out = stmt->getOutputMetadata(st);
    std::vector<std::uint64_t> buffer((out->getMessageLength(st) + 7) / 8, 0);
    IResultSet* rs = stmt->openCursor(st, d->write, nullptr, nullptr, out, 0);
    qint64 value = -1;
    if (rs->fetchNext(st, buffer.data()) == IStatus::RESULT_OK) {
        const auto* base = reinterpret_cast<const unsigned char*>(buffer.data()) + out->getOffset(st, 0);
        if ((out->getType(st, 0) & ~1u) == SQL_INT64) {
            std::int64_t v;
            std::memcpy(&v, base, sizeof v);
            value = v;
        } else {
            std::int32_t v;
            std::memcpy(&v, base, sizeof v);
            value = v;
        }
    }
    rs->close(st);
    out->release();
    stmt->free(st);
    return value;
}

struct BareStatement::Impl {
    BareConnection::Impl* connection = nullptr;
    ITransaction* tra = nullptr;
    IStatement* stmt = nullptr;
    IMessageMetadata* in = nullptr;
    IMessageMetadata* out = nullptr;
    std::vector<std::uint64_t> outBuffer;
};

BareStatement::BareStatement(BareConnection& connection, const QString& sql) : d(std::make_unique<Impl>())
{
    d->connection = connection.d.get();
    ThrowStatusWrapper* st = &d->connection->st;
    IAttachment* att = d->connection->att;
    IXpbBuilder* tpb = d->connection->tpb;
    const QByteArray text = win1250(sql);
    d->tra = att->startTransaction(st, tpb->getBufferLength(st), tpb->getBuffer(st));
    d->stmt = att->prepare(st, d->tra, unsigned(text.size()), text.constData(), 3,
                           IStatement::PREPARE_PREFETCH_METADATA);
    d->in = d->stmt->getInputMetadata(st);
    d->out = d->stmt->getOutputMetadata(st);
    d->outBuffer.resize((d->out->getMessageLength(st) + 7) / 8);
}

BareStatement::~BareStatement()
{
    ThrowStatusWrapper* st = &d->connection->st;
    try {
        d->in->release();
        d->out->release();
        d->stmt->free(st);
        d->tra->commit(st);
    } catch (const FbException&) {
    }
}

QString BareStatement::plan() const
{
    ThrowStatusWrapper* st = &d->connection->st;
    const char* text = d->stmt->getPlan(st, true);
    return text ? QString::fromLatin1(text) : QString();
}

int BareStatement::run(const QVariantList& params)
{
    QStringList texts;
    QList<bool> nulls;
    for (const QVariant& v : params) {
        nulls << (!v.isValid() || v.isNull());
        texts << v.toString();
    }
    return runValues(texts, nulls);
}

int BareStatement::run(const QStringList& params)
{
    return runValues(params, QList<bool>(params.size(), false));
}

int BareStatement::runValues(const QStringList& params, const QList<bool>& nulls)
{
    ThrowStatusWrapper* st = &d->connection->st;
    // Every parameter as VARCHAR of its own length; the server converts.
    std::vector<QByteArray> values;
    for (const QString& p : params)
        values.push_back(win1250(p));
    IMessageMetadata* in = nullptr;
    std::vector<std::uint64_t> inBuffer;
    if (!values.empty()) {
        IMetadataBuilder* builder = d->in->getBuilder(st);
        for (unsigned i = 0; i < values.size(); ++i) {
            builder->setType(st, i, SQL_VARYING + 1);
            builder->setLength(st, i, std::max<unsigned>(1, unsigned(values[i].size())));
        }
        in = builder->getMetadata(st);
        builder->release();
        inBuffer.assign((in->getMessageLength(st) + 7) / 8, 0);
        auto* base = reinterpret_cast<unsigned char*>(inBuffer.data());
        for (unsigned i = 0; i < values.size(); ++i) {
            const auto length = static_cast<unsigned short>(values[i].size());
            std::memcpy(base + in->getOffset(st, i), &length, sizeof length);
            std::memcpy(base + in->getOffset(st, i) + 2, values[i].constData(), length);
            const short nullFlag = nulls[int(i)] ? -1 : 0;
            std::memcpy(base + in->getNullOffset(st, i), &nullFlag, sizeof nullFlag);
        }
    }
    IResultSet* rs = d->stmt->openCursor(st, d->tra, in, inBuffer.data(), d->out, 0);
    const int rows = drain(st, rs, d->outBuffer);
    rs->close(st);
    if (in)
        in->release();
    return rows;
}
