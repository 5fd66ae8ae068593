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

    ~Impl()
    {
        try {
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
    ThrowStatusWrapper* st = &d->st;
    const QByteArray text = win1250(sql);
    ITransaction* tra = d->att->startTransaction(st, d->tpb->getBufferLength(st), d->tpb->getBuffer(st));
    IStatement* stmt =
        d->att->prepare(st, tra, unsigned(text.size()), text.constData(), 3, IStatement::PREPARE_PREFETCH_METADATA);
    IMessageMetadata* meta = stmt->getOutputMetadata(st);
    const size_t rowWords = (meta->getMessageLength(st) + 7) / 8;
    std::vector<std::unique_ptr<std::uint64_t[]>> chunks;
    IResultSet* rs = stmt->openCursor(st, tra, nullptr, nullptr, meta, 0);
    int rows = 0;
    for (;;) {
        if (rows % chunkRows == 0)
            chunks.push_back(std::make_unique_for_overwrite<std::uint64_t[]>(size_t(chunkRows) * rowWords));
        std::uint64_t* slot = chunks.back().get() + size_t(rows % chunkRows) * rowWords;
        if (rs->fetchNext(st, slot) != IStatus::RESULT_OK)
            break;
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
