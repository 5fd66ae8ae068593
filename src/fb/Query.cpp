#include "fb/Query.h"

#include "fb/ConnectionImpl.h"
#include "fb/Decimal.h"
#include "fb/RowLayout.h"
#include "fb/Win1250.h"

#include <QDateTime>
#include <QHash>

#include <cstring>
#include <limits>

namespace fb {

using namespace Firebird;
using detail::call;
using detail::Ref;

namespace {

constexpr unsigned kDialect = 3;
constexpr unsigned kCharsetOctets = 1;
// ISC_DATE counts days from 17 Nov 1858; QDate uses Julian day numbers.
constexpr qint64 kIscDateToJulian = 2400001;

using Slot = FieldLayout;

std::vector<Slot> slotsOf(IMessageMetadata* meta)
{
    return call([&](ThrowStatusWrapper* st) {
        std::vector<Slot> out(meta->getCount(st));
        for (unsigned i = 0; i < out.size(); ++i) {
            Slot& s = out[i];
            s.type = meta->getType(st, i) & ~1u;
            s.scale = meta->getScale(st, i);
            s.length = meta->getLength(st, i);
            s.subType = meta->getSubType(st, i);
            s.charset = meta->getCharSet(st, i);
            s.offset = meta->getOffset(st, i);
            s.nullOffset = meta->getNullOffset(st, i);
        }
        return out;
    });
}

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

// Message buffers must be aligned for the widest field.
struct Buffer {
    std::vector<std::uint64_t> words;
    void resize(unsigned bytes) { words.assign((bytes + 7) / 8, 0); }
    unsigned char* data() { return reinterpret_cast<unsigned char*>(words.data()); }
    const unsigned char* data() const { return reinterpret_cast<const unsigned char*>(words.data()); }
};

template <typename T>
T load(const unsigned char* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T>
void store(unsigned char* p, T v)
{
    std::memcpy(p, &v, sizeof v);
}

ISC_DATE iscFromDate(const QDate& d)
{
    return ISC_DATE(d.toJulianDay() - kIscDateToJulian);
}

ISC_TIME iscFromTime(const QTime& t)
{
    return ISC_TIME(t.msecsSinceStartOfDay()) * 10;
}

Error bindError(const QString& name, const QString& what)
{
    return Error(QStringLiteral("Parameter %1: %2").arg(name, what));
}

std::optional<Decimal> decimalFromVariant(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::UInt:
        return Decimal(v.toLongLong(), 0);
    case QMetaType::Bool:
        return Decimal(v.toBool() ? 1 : 0, 0);
    case QMetaType::Double:
    case QMetaType::Float:
        return Decimal::fromDouble(v.toDouble());
    case QMetaType::QString:
        return Decimal::fromString(v.toString());
    default:
        if (v.canConvert<Decimal>() && v.metaType() == QMetaType::fromType<Decimal>())
            return v.value<Decimal>();
        return Decimal::fromString(v.toString());
    }
}

QDateTime dateTimeFromVariant(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    if (v.typeId() == QMetaType::QString)
        return QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
    return v.toDateTime();
}

}  // namespace

struct Query::Impl {
    ParsedSql parsed;
    bool parsedValid = false;
    QStringList uniqueNames;
    QHash<QString, QVariant> values;

    IAttachment* attachment = nullptr;  // of the prepared statement
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

    void unprepare()
    {
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

    QVariant read(unsigned index, ITransaction* tr) const;
    QString readBlob(const ISC_QUAD& id, bool text, QByteArray* bytes, ITransaction* tr) const;
    void bindInput(ITransaction* tr, Ref<IMessageMetadata>& meta, Buffer& buffer);
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

QVariant Query::Impl::read(unsigned index, ITransaction* tr) const
{
    const Slot& s = outSlots[index];
    const unsigned char* base = outBuffer.data();
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

// Fills an input message with the current values. Text longer than the declared
// field widens the field (the server then reports truncation as it should), and
// parameters the server could not type (SQL_NULL) become text.
void Query::Impl::bindInput(ITransaction* tr, Ref<IMessageMetadata>& meta, Buffer& buffer)
{
    const qsizetype count = parsed.params.size();
    std::vector<QVariant> vals(static_cast<size_t>(count));
    std::vector<QByteArray> texts(static_cast<size_t>(count));
    bool widen = false;
    for (qsizetype i = 0; i < count; ++i) {
        const QString& name = parsed.params[i];
        vals[size_t(i)] = values.value(name);
        const QVariant& v = vals[size_t(i)];
        const Slot& s = inSlots[size_t(i)];
        if (v.isNull() || !v.isValid())
            continue;
        const bool textual = s.type == SQL_TEXT || s.type == SQL_VARYING || s.type == SQL_NULL ||
                             (s.type == SQL_BLOB);
        if (!textual)
            continue;
        QByteArray bytes;
        if (v.typeId() == QMetaType::QByteArray) {
            bytes = v.toByteArray();
        } else {
            QString text;
            if (v.metaType() == QMetaType::fromType<Decimal>())
                text = v.value<Decimal>().toString();
            else if (v.typeId() == QMetaType::QDate)
                text = v.toDate().toString(Qt::ISODate);
            else
                text = v.toString();
            try {
                bytes = detail::encodeText(text);
            } catch (const Error& e) {
                throw bindError(name, e.message());
            }
        }
        if (s.type == SQL_NULL || (s.type != SQL_BLOB && unsigned(bytes.size()) > s.length) ||
            (s.type == SQL_TEXT && unsigned(bytes.size()) != s.length))
            widen = true;
        texts[size_t(i)] = std::move(bytes);
    }

    std::vector<Slot> fields = inSlots;
    if (widen) {
        meta = call([&](ThrowStatusWrapper* st) {
            Ref<IMetadataBuilder> builder(inMeta->getBuilder(st));
            for (qsizetype i = 0; i < count; ++i) {
                const Slot& s = inSlots[size_t(i)];
                const bool text = s.type == SQL_TEXT || s.type == SQL_VARYING || s.type == SQL_NULL;
                if (!text)
                    continue;
                const unsigned need = std::max<unsigned>(1, unsigned(texts[size_t(i)].size()));
                builder->setType(st, unsigned(i), SQL_VARYING + 1);
                builder->setLength(st, unsigned(i), std::max(need, s.type == SQL_NULL ? 1u : s.length));
                if (s.type == SQL_NULL)
                    builder->setCharSet(st, unsigned(i), 0);
            }
            return Ref<IMessageMetadata>(builder->getMetadata(st));
        });
        fields = slotsOf(meta.get());
    } else {
        meta = call([&](ThrowStatusWrapper*) {
            inMeta->addRef();
            return Ref<IMessageMetadata>(inMeta.get());
        });
    }

    buffer.resize(call([&](ThrowStatusWrapper* st) { return meta->getMessageLength(st); }));
    unsigned char* base = buffer.data();
    for (qsizetype i = 0; i < count; ++i) {
        const QString& name = parsed.params[i];
        const QVariant& v = vals[size_t(i)];
        const Slot& s = fields[size_t(i)];
        unsigned char* p = base + s.offset;
        if (v.isNull() || !v.isValid()) {
            store<short>(base + s.nullOffset, -1);
            continue;
        }
        store<short>(base + s.nullOffset, 0);
        switch (s.type) {
        case SQL_VARYING: {
            const QByteArray& b = texts[size_t(i)];
            store<unsigned short>(p, static_cast<unsigned short>(b.size()));
            std::memcpy(p + 2, b.constData(), size_t(b.size()));
            break;
        }
        case SQL_TEXT: {
            const QByteArray& b = texts[size_t(i)];
            std::memset(p, ' ', s.length);
            std::memcpy(p, b.constData(), std::min<size_t>(size_t(b.size()), s.length));
            break;
        }
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64: {
            const auto d = decimalFromVariant(v);
            if (!d)
                throw bindError(name, QStringLiteral("„%1“ nie je číslo.").arg(v.toString()));
            const auto r = d->rescaled(-s.scale);
            if (!r)
                throw bindError(name, QStringLiteral("hodnota %1 je mimo rozsahu.").arg(d->toString()));
            const std::int64_t u = r->units();
            if (s.type == SQL_SHORT) {
                if (u < std::numeric_limits<std::int16_t>::min() || u > std::numeric_limits<std::int16_t>::max())
                    throw bindError(name, QStringLiteral("hodnota %1 je mimo rozsahu.").arg(d->toString()));
                store<std::int16_t>(p, std::int16_t(u));
            } else if (s.type == SQL_LONG) {
                if (u < std::numeric_limits<std::int32_t>::min() || u > std::numeric_limits<std::int32_t>::max())
                    throw bindError(name, QStringLiteral("hodnota %1 je mimo rozsahu.").arg(d->toString()));
                store<std::int32_t>(p, std::int32_t(u));
            } else {
                store<std::int64_t>(p, u);
            }
            break;
        }
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_D_FLOAT: {
            double dv = 0;
            if (v.metaType() == QMetaType::fromType<Decimal>()) {
                dv = v.value<Decimal>().toDouble();
            } else if (v.typeId() == QMetaType::QString) {
                const auto d = Decimal::fromString(v.toString());
                if (!d)
                    throw bindError(name, QStringLiteral("„%1“ nie je číslo.").arg(v.toString()));
                dv = d->toDouble();
            } else {
                bool ok = false;
                dv = v.toDouble(&ok);
                if (!ok)
                    throw bindError(name, QStringLiteral("„%1“ nie je číslo.").arg(v.toString()));
            }
            if (s.type == SQL_FLOAT)
                store<float>(p, float(dv));
            else
                store<double>(p, dv);
            break;
        }
        case SQL_TYPE_DATE: {
            const QDate d = v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : dateTimeFromVariant(v).date();
            if (!d.isValid())
                throw bindError(name, QStringLiteral("„%1“ nie je dátum.").arg(v.toString()));
            store<ISC_DATE>(p, iscFromDate(d));
            break;
        }
        case SQL_TYPE_TIME: {
            const QTime t = v.typeId() == QMetaType::QTime ? v.toTime() : dateTimeFromVariant(v).time();
            if (!t.isValid())
                throw bindError(name, QStringLiteral("„%1“ nie je čas.").arg(v.toString()));
            store<ISC_TIME>(p, iscFromTime(t));
            break;
        }
        case SQL_TIMESTAMP: {
            const QDateTime dt = dateTimeFromVariant(v);
            if (!dt.isValid())
                throw bindError(name, QStringLiteral("„%1“ nie je dátum a čas.").arg(v.toString()));
            ISC_TIMESTAMP ts;
            ts.timestamp_date = iscFromDate(dt.date());
            ts.timestamp_time = iscFromTime(dt.time());
            store<ISC_TIMESTAMP>(p, ts);
            break;
        }
        case SQL_BOOLEAN:
            *p = v.toBool() ? 1 : 0;
            break;
        case SQL_BLOB:
            store<ISC_QUAD>(p, writeBlob(tr, texts[size_t(i)]));
            break;
        default:
            throw bindError(name, QStringLiteral("nepodporovaný typ parametra."));
        }
    }
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
    d->inSlots = slotsOf(d->inMeta.get());
    if (d->inSlots.size() != size_t(d->parsed.params.size())) {
        d->unprepare();
        throw Error(QStringLiteral("Príkaz má %1 parametrov, text ich menuje %2; znak „?“ v príkaze nie je dovolený.")
                        .arg(d->inSlots.size())
                        .arg(d->parsed.params.size()));
    }
    d->outSlots = slotsOf(d->outMeta.get());
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
        d->bindInput(tr, inMeta, inBuffer);
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
    return d->read(unsigned(index), transactionOf(*m_transaction));
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
    ITransaction* tr = blobColumns.empty() ? nullptr : transactionOf(*m_transaction);
    const size_t bytes = d->outBuffer.words.size() * 8;
    int read = 0;
    while (read < maxRows && next()) {
        const int row = table.rowCount();
        std::memcpy(table.appendRawRow(), d->outBuffer.data(), bytes);
        for (unsigned c : blobColumns)
            table.setFetchedBlob(row, int(c), d->read(c, tr));
        ++read;
    }
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
