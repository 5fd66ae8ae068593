#include "fb/Query.h"

#include "fb/ConnectionImpl.h"
#include "fb/Decimal.h"
#include "fb/ParamEncoding.h"
#include "fb/RowLayout.h"
#include "fb/Win1250.h"

#include <QHash>

#include <cstring>

namespace fb {

using namespace Firebird;
using detail::call;
using detail::Ref;

namespace {

constexpr unsigned kDialect = 3;
constexpr unsigned kCharsetOctets = 1;

using Slot = FieldLayout;
using Buffer = MessageBuffer;

ColumnType columnType(const Slot& s)
{
    switch (s.type) {
    case SQL_SHORT:
    case SQL_LONG:
        return s.scale ? ColumnType::Decimal : ColumnType::Integer;
    case SQL_INT64:
        return s.scale ? ColumnType::Decimal : ColumnType::BigInt;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return ColumnType::Double;
    case SQL_TYPE_DATE:
        return ColumnType::Date;
    case SQL_TYPE_TIME:
        return ColumnType::Time;
    case SQL_TIMESTAMP:
        return ColumnType::Timestamp;
    case SQL_TEXT:
    case SQL_VARYING:
        return s.charset == kCharsetOctets ? ColumnType::Blob : ColumnType::Text;
    case SQL_BLOB:
        return s.subType == 1 ? ColumnType::Text : ColumnType::Blob;
    case SQL_BOOLEAN:
        return ColumnType::Boolean;
    default:
        return ColumnType::Other;
    }
}

template <typename T>
T load(const unsigned char* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

}  // namespace

struct Query::Impl {
    ParsedSql parsed;
    bool parsedValid = false;
    QStringList uniqueNames;
    QHash<QString, QVariant> values;

    IAttachment* attachment = nullptr;  // of the prepared statement
    GenerationMark mark;                // of its connection when prepared
    Ref<IStatement> statement;
    unsigned statementType = 0;

    Ref<IMessageMetadata> inMeta;   // as the server declared it
    std::vector<Slot> inSlots;
    Ref<IMessageMetadata> outMeta;
    std::vector<Slot> outSlots;
    std::vector<Column> columns;
    Buffer outBuffer;
    std::shared_ptr<const RowLayout> layout;  // shared with the tables fetched into

    Ref<IResultSet> cursor;
    bool hasRow = false;
    std::int64_t rowsAffected = -1;

    ~Impl() { forgetIfStale(); }

    // Handles of an attachment that was closed or lost are gone with it.
    void forgetIfStale()
    {
        if (!mark.stale())
            return;
        cursor.detach();
        statement.detach();
        mark = {};
    }

    void unprepare()
    {
        forgetIfStale();
        cursor.reset();
        hasRow = false;
        statement.reset();
        inMeta.reset();
        outMeta.reset();
        inSlots.clear();
        outSlots.clear();
        columns.clear();
        layout.reset();
        attachment = nullptr;
    }

    // Column `index` of a row in the output message at `base`.
    QVariant read(unsigned index, const unsigned char* base, ITransaction* tr) const;
    QString readBlob(const ISC_QUAD& id, bool text, QByteArray* bytes, ITransaction* tr) const;
    ISC_QUAD writeBlob(ITransaction* tr, const QByteArray& bytes);
};

QString Query::Impl::readBlob(const ISC_QUAD& id, bool text, QByteArray* bytes, ITransaction* tr) const
{
    QByteArray data;
    call([&](ThrowStatusWrapper* st) {
        Ref<IBlob> blob(attachment->openBlob(st, tr, const_cast<ISC_QUAD*>(&id), 0, nullptr));
        char chunk[16384];
        for (;;) {
            unsigned got = 0;
            const int rc = blob->getSegment(st, sizeof chunk, chunk, &got);
            if (rc == IStatus::RESULT_NO_DATA)
                break;
            data.append(chunk, int(got));
        }
        blob->close(st);
        blob.detach();
    });
    if (!text) {
        *bytes = data;
        return {};
    }
    return text::fromWin1250(data);
}

QVariant Query::Impl::read(unsigned index, const unsigned char* base, ITransaction* tr) const
{
    const Slot& s = outSlots[index];
    if (!isBlobField(s))
        return decodeField(s, base);
    if (isNullField(s, base))
        return {};
    const auto id = load<ISC_QUAD>(base + s.offset);
    QByteArray bytes;
    if (s.subType == 1)
        return readBlob(id, true, nullptr, tr);
    readBlob(id, false, &bytes, tr);
    return bytes;
}

ISC_QUAD Query::Impl::writeBlob(ITransaction* tr, const QByteArray& bytes)
{
    ISC_QUAD id{};
    call([&](ThrowStatusWrapper* st) {
        Ref<IBlob> blob(attachment->createBlob(st, tr, &id, 0, nullptr));
        for (qsizetype pos = 0; pos < bytes.size(); pos += 32768) {
            const auto n = unsigned(std::min<qsizetype>(32768, bytes.size() - pos));
            blob->putSegment(st, n, bytes.constData() + pos);
        }
        blob->close(st);
        blob.detach();
    });
    return id;
}

Query::Query(Transaction& transaction) : m_transaction(&transaction), d(std::make_unique<Impl>()) {}

Query::~Query() = default;

void Query::setTransaction(Transaction& transaction)
{
    close();
    m_transaction = &transaction;
}

void Query::setSql(const QStringList& lines)
{
    if (lines == m_sql && d->parsedValid)
        return;
    d->unprepare();
    m_sql = lines;
    d->parsedValid = false;
}

void Query::setStatement(const Statement& statement)
{
    setSql(statement.lines);
    setParams(statement.params);
}

void Query::setParamCheck(bool check)
{
    if (check == m_paramCheck)
        return;
    d->unprepare();
    m_paramCheck = check;
    d->parsedValid = false;
}

static void ensureParsed(Query::Impl& d, const QStringList& sql, bool paramCheck)
{
    if (d.parsedValid)
        return;
    const QString text = sql.join(QLatin1Char('\n'));
    if (paramCheck) {
        d.parsed = parseNamedParams(text);
    } else {
        d.parsed.text = text;
        d.parsed.params.clear();
    }
    d.uniqueNames.clear();
    for (const QString& n : std::as_const(d.parsed.params))
        if (!d.uniqueNames.contains(n))
            d.uniqueNames.append(n);
    d.parsedValid = true;
}

void Query::prepare()
{
    // A statement prepared on an attachment that was closed or lost since.
    if (d->mark.stale())
        d->unprepare();
    if (d->statement)
        return;
    ensureParsed(*d, m_sql, m_paramCheck);
    if (d->parsed.text.trimmed().isEmpty())
        throw Error(QStringLiteral("Príkaz SQL je prázdny."));
    ITransaction* tr = transactionOf(*m_transaction);
    IAttachment* att = attachmentOf(m_transaction->connection());
    const QByteArray sqlBytes = detail::encodeText(d->parsed.text);
    call([&](ThrowStatusWrapper* st) {
        d->statement.reset(att->prepare(st, tr, unsigned(sqlBytes.size()), sqlBytes.constData(), kDialect,
                                        IStatement::PREPARE_PREFETCH_METADATA));
        d->statementType = d->statement->getType(st);
        d->inMeta.reset(d->statement->getInputMetadata(st));
        d->outMeta.reset(d->statement->getOutputMetadata(st));
    });
    d->attachment = att;
    d->mark.take(m_transaction->connection().impl()->generation);
    d->inSlots = fieldsOf(d->inMeta.get());
    if (d->inSlots.size() != size_t(d->parsed.params.size())) {
        d->unprepare();
        throw Error(QStringLiteral("Príkaz má %1 parametrov, text ich menuje %2; znak „?“ v príkaze nie je dovolený.")
                        .arg(d->inSlots.size())
                        .arg(d->parsed.params.size()));
    }
    d->outSlots = fieldsOf(d->outMeta.get());
    d->columns = call([&](ThrowStatusWrapper* st) {
        std::vector<Column> cols(d->outSlots.size());
        for (unsigned i = 0; i < cols.size(); ++i) {
            Column& c = cols[i];
            c.name = text::fromWin1250(QByteArray(d->outMeta->getAlias(st, i)));
            c.field = text::fromWin1250(QByteArray(d->outMeta->getField(st, i)));
            c.relation = text::fromWin1250(QByteArray(d->outMeta->getRelation(st, i)));
            c.type = columnType(d->outSlots[i]);
            c.scale = -d->outSlots[i].scale;
            c.length = int(d->outSlots[i].length);
            c.nullable = d->outMeta->isNullable(st, i);
        }
        return cols;
    });
    d->outBuffer.resize(call([&](ThrowStatusWrapper* st) { return d->outMeta->getMessageLength(st); }));
}

bool Query::isPrepared() const
{
    return bool(d->statement);
}

QStringList Query::paramNames()
{
    ensureParsed(*d, m_sql, m_paramCheck);
    return d->uniqueNames;
}

bool Query::hasParam(const QString& name)
{
    ensureParsed(*d, m_sql, m_paramCheck);
    return d->uniqueNames.contains(name.toUpper());
}

void Query::setParam(const QString& name, const QVariant& value)
{
    ensureParsed(*d, m_sql, m_paramCheck);
    const QString key = name.toUpper();
    if (!d->uniqueNames.contains(key))
        throw Error(QStringLiteral("Príkaz nemá parameter %1.").arg(key));
    d->values.insert(key, value);
}

void Query::setParams(std::initializer_list<std::pair<QString, QVariant>> values)
{
    for (const auto& [name, value] : values)
        setParam(name, value);
}

void Query::setParams(const QVariantMap& values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        setParam(it.key(), it.value());
}

void Query::clearParams()
{
    d->values.clear();
}

void Query::execute()
{
    close();
    prepare();
    ITransaction* tr = transactionOf(*m_transaction);
    Ref<IMessageMetadata> inMeta;
    Buffer inBuffer;
    if (!d->parsed.params.isEmpty())
        encodeParams(d->parsed.params, d->values, d->inMeta.get(), d->inSlots,
                     [&](const QByteArray& bytes) { return d->writeBlob(tr, bytes); }, inMeta, inBuffer);
    const bool select =
        d->statementType == isc_info_sql_stmt_select || d->statementType == isc_info_sql_stmt_select_for_upd;
    call([&](ThrowStatusWrapper* st) {
        if (select) {
            d->cursor.reset(d->statement->openCursor(st, tr, inMeta.get(), inBuffer.data(), d->outMeta.get(), 0));
            d->rowsAffected = -1;
        } else {
            const bool outputs = !d->outSlots.empty();
            d->statement->execute(st, tr, inMeta.get(), inBuffer.data(), outputs ? d->outMeta.get() : nullptr,
                                  outputs ? d->outBuffer.data() : nullptr);
            d->hasRow = outputs;
            d->rowsAffected = std::int64_t(d->statement->getAffectedRecords(st));
        }
    });
}

bool Query::next()
{
    if (!d->cursor)
        return false;
    const int rc = call([&](ThrowStatusWrapper* st) { return d->cursor->fetchNext(st, d->outBuffer.data()); });
    d->hasRow = rc == IStatus::RESULT_OK;
    return d->hasRow;
}

void Query::close()
{
    d->hasRow = false;
    if (!d->cursor)
        return;
    if (d->mark.stale()) {
        d->forgetIfStale();  // its attachment is gone: nothing to tell the server
        return;
    }
    try {
        call([&](ThrowStatusWrapper* st) { d->cursor->close(st); });
        d->cursor.detach();  // close() released it
    } catch (const Error&) {
        // the transaction ended under the cursor; only the handle is left
        d->cursor.reset();
    }
}

bool Query::isOpen() const
{
    return bool(d->cursor);
}

bool Query::hasRow() const
{
    return d->hasRow;
}

std::int64_t Query::rowsAffected() const
{
    return d->rowsAffected;
}

int Query::columnCount()
{
    prepare();
    return int(d->columns.size());
}

const Column& Query::column(int index)
{
    prepare();
    return d->columns.at(size_t(index));
}

int Query::columnIndex(const QString& name)
{
    prepare();
    for (int i = 0; i < int(d->columns.size()); ++i)
        if (d->columns[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant Query::value(int index) const
{
    if (!d->hasRow)
        throw Error(QStringLiteral("Dotaz nemá aktuálny riadok."));
    if (index < 0 || index >= int(d->outSlots.size()))
        throw Error(QStringLiteral("Dotaz nemá stĺpec číslo %1.").arg(index));
    return d->read(unsigned(index), d->outBuffer.data(), transactionOf(*m_transaction));
}

QVariant Query::value(const QString& name) const
{
    for (int i = 0; i < int(d->columns.size()); ++i)
        if (d->columns[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return value(i);
    throw Error(QStringLiteral("Dotaz nemá stĺpec %1.").arg(name));
}

int Query::fetchSome(ResultTable& table, int maxRows)
{
    if (!d->cursor)
        return 0;
    if (!d->layout) {
        auto layout = std::make_shared<RowLayout>();
        layout->fields = d->outSlots;
        layout->messageLength = unsigned(d->outBuffer.words.size() * 8);
        d->layout = std::move(layout);
    }
    if (table.rowCount() == 0)
        table.reset(d->columns, d->layout);
    std::vector<unsigned> blobColumns;
    for (unsigned c = 0; c < d->outSlots.size(); ++c)
        if (isBlobField(d->outSlots[c]))
            blobColumns.push_back(c);
    if (maxRows <= 0)
        return 0;
    ITransaction* tr = blobColumns.empty() ? nullptr : transactionOf(*m_transaction);
    // The server writes each row straight into the table, and one status serves
    // the whole chunk: a copy and a status object per row cost as much as a
    // quarter of the bare fetch loop.
    int read = 0;
    const unsigned char* last = nullptr;
    call([&](ThrowStatusWrapper* st) {
        while (read < maxRows) {
            unsigned char* row = table.rawRowToFill();
            if (d->cursor->fetchNext(st, row) != IStatus::RESULT_OK)
                break;
            table.commitRawRow();
            for (unsigned c : blobColumns)
                table.setFetchedBlob(table.rowCount() - 1, int(c), d->read(c, row, tr));
            last = row;
            ++read;
        }
    });
    // As after next(): a full chunk stands on its last row, the end on no row.
    d->hasRow = read == maxRows;
    if (d->hasRow)
        std::memcpy(d->outBuffer.data(), last, d->outBuffer.words.size() * 8);
    return read;
}

int Query::fetchAll(ResultTable& table, int chunkRows)
{
    int total = 0;
    for (;;) {
        const int got = fetchSome(table, chunkRows);
        total += got;
        if (got < chunkRows)
            return total;
    }
}

QVariant Query::executeScalar()
{
    execute();
    if (d->cursor && !next())
        return {};
    return d->hasRow && !d->outSlots.empty() ? value(0) : QVariant();
}

bool Query::executeAtMostOneRow()
{
    execute();
    if (!d->cursor)
        throw Error(QStringLiteral("Príkaz nevracia riadky."));
    if (!next())
        return false;
    // Looking for a second row overwrites the message buffer: keep the first.
    const std::vector<std::uint64_t> first = d->outBuffer.words;
    if (next()) {
        close();
        throw Error(QStringLiteral("Dotaz vrátil viac ako jeden riadok."));
    }
    d->outBuffer.words = first;
    d->hasRow = true;
    return true;
}

void Query::executeOneRow()
{
    if (!executeAtMostOneRow())
        throw Error(QStringLiteral("Dotaz nevrátil žiadny riadok."));
}

}  // namespace fb
