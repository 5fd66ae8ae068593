#include "db/XMLDataset.h"

#include "db/MemTable.h"
#include "fb/Win1250.h"

#include <QIODevice>
#include <QLocale>
#include <QStringList>

#include <array>
#include <exception>
#include <optional>

namespace {

struct LoadError {
    QString message;
};

[[noreturn]] void fail(const QString& message)
{
    throw LoadError{message};
}

// Lower-case mapping of the WIN1250 code page, byte to byte; bytes whose lower
// case is not in the code page map to themselves.
const std::array<uchar, 256>& lowerTable()
{
    static const std::array<uchar, 256> table = [] {
        std::array<uchar, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char c = char(b);
            const QString lower = text::fromWin1250(&c, 1).toLower();
            QByteArray bytes;
            const bool ok = lower.size() == 1 && text::toWin1250(lower, bytes) && bytes.size() == 1;
            t[b] = ok ? uchar(bytes[0]) : uchar(b);
        }
        return t;
    }();
    return table;
}

// A fixed marker text searched without regard to letter case (Boyer-Moore-Horspool).
class Marker {
public:
    explicit Marker(const char* text) : pattern_(text)
    {
        const auto& low = lowerTable();
        for (char& c : pattern_)
            c = char(low[uchar(c)]);
        const qsizetype m = pattern_.size();
        skip_.fill(m);
        for (qsizetype j = 0; j + 1 < m; ++j)
            skip_[uchar(pattern_[j])] = m - 1 - j;
    }

    qsizetype size() const { return pattern_.size(); }
    QString text() const { return QString::fromLatin1(pattern_); }

    // First occurrence lying wholly inside [from, to), or -1.
    qsizetype find(const QByteArray& data, qsizetype from, qsizetype to) const
    {
        const auto& low = lowerTable();
        const auto* d = reinterpret_cast<const uchar*>(data.constData());
        const auto* p = reinterpret_cast<const uchar*>(pattern_.constData());
        const qsizetype m = pattern_.size();
        to = std::min(to, data.size());
        for (qsizetype i = std::max<qsizetype>(from, 0); i + m <= to;) {
            qsizetype j = m - 1;
            while (j >= 0 && low[d[i + j]] == p[j])
                --j;
            if (j < 0)
                return i;
            i += skip_[low[d[i + m - 1]]];
        }
        return -1;
    }

private:
    QByteArray pattern_;
    std::array<qsizetype, 256> skip_{};
};

const Marker kDatapacket("<datapacket"), kDatapacketEnd("</datapacket>");
const Marker kMetadata("<metadata"), kMetadataEnd("</metadata>");
const Marker kFielddefs("<fielddefs"), kFielddefsEnd("</fielddefs>");
const Marker kFielddef("<fielddef"), kEmptyEnd("/>");
const Marker kIndexdefs("<indexdefs"), kIndexdefsEnd("</indexdefs>");
const Marker kRecorddata("<recorddata"), kRecorddataEnd("</recorddata>");
const Marker kRow("<row>"), kRowEnd("</row>");
const Marker kField("<field"), kTagEnd(">");
const Marker kFieldEnd("</field>");
const Marker kCdata("<![CDATA["), kCdataEnd("]]>");

// Where an element's opening and closing markers were found.
struct Span {
    qsizetype openEnd;   // just after the opening marker
    qsizetype closePos;  // at the closing marker
    qsizetype closeEnd;  // just after it
};

struct Attribute {
    QByteArray name;
    QByteArray value;
};

// The attributes of an opening tag.
struct Tag {
    QList<Attribute> attributes;
    bool empty = false;          // the tag ended with "/"
    qsizetype contentStart = 0;  // just after its ">"

    const Attribute* find(const char* name) const
    {
        for (const Attribute& a : attributes)
            if (a.name.compare(name, Qt::CaseInsensitive) == 0)
                return &a;
        return nullptr;
    }
    QByteArray value(const char* name) const
    {
        const Attribute* a = find(name);
        return a ? a->value : QByteArray();
    }
};

constexpr int kMaxAttributes = 255;
constexpr int kMaxFields = 256;

// Each attribute starts after a space, its name runs to "=", and its value is
// the text between the next two double quotes, taken as it is.
Tag splitAttributes(const QByteArray& text, qsizetype contentStart)
{
    Tag tag;
    tag.contentStart = contentStart;
    tag.empty = text.trimmed().endsWith('/');
    qsizetype i = 0;
    while (tag.attributes.size() < kMaxAttributes) {
        const qsizetype space = text.indexOf(' ', i);
        const qsizetype eq = space < 0 ? -1 : text.indexOf('=', space + 1);
        const qsizetype q1 = eq < 0 ? -1 : text.indexOf('"', eq + 1);
        const qsizetype q2 = q1 < 0 ? -1 : text.indexOf('"', q1 + 1);
        if (q2 < 0)
            break;
        tag.attributes.append({text.mid(space + 1, eq - space - 1).trimmed(), text.mid(q1 + 1, q2 - q1 - 1)});
        i = q2 + 1;
    }
    return tag;
}

int toInt(const QByteArray& text)
{
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok)
        fail(QStringLiteral("'%1' is not a valid integer value").arg(text::fromWin1250(text)));
    return v;
}

double toDouble(const QByteArray& text)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(QString::fromLatin1(text.trimmed()), &ok);
    if (!ok)
        fail(QStringLiteral("'%1' is not a valid floating point value").arg(text::fromWin1250(text)));
    return v;
}

QDateTime readPacketTime(const Tag& tag)
{
    int parts[7];
    const char* names[7] = {"year", "month", "day", "hour", "min", "sec", "msec"};
    for (int i = 0; i < 7; ++i) {
        bool ok = false;
        parts[i] = tag.value(names[i]).toInt(&ok);
        if (!ok)
            return {};
    }
    const QDate date(parts[0], parts[1], parts[2]);
    const QTime time(parts[3], parts[4], parts[5], parts[6]);
    return date.isValid() && time.isValid() ? QDateTime(date, time) : QDateTime();
}

// RFC 4648 alphabet; anything else (line breaks included) is skipped, "=" ends the data.
QByteArray decodeBase64(const QByteArray& data, qsizetype from, qsizetype to)
{
    QByteArray out;
    out.reserve((to - from) * 3 / 4);
    uint acc = 0;
    int bits = 0;
    for (qsizetype i = from; i < to; ++i) {
        const char c = data[i];
        int v;
        if (c >= 'A' && c <= 'Z')
            v = c - 'A';
        else if (c >= 'a' && c <= 'z')
            v = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            v = c - '0' + 52;
        else if (c == '+')
            v = 62;
        else if (c == '/')
            v = 63;
        else if (c == '=')
            break;
        else
            continue;
        acc = (acc << 6) | uint(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.append(char((acc >> bits) & 0xFF));
            acc &= (1u << bits) - 1;
        }
    }
    return out;
}

}  // namespace

class TXMLDataset::Parser {
public:
    Parser(TXMLDataset& owner, MemTable& table, const QByteArray& data)
        : owner_(owner), table_(table), data_(data)
    {
    }

    void run()
    {
        const auto packet = findPair(kDatapacket, kDatapacketEnd, 0, data_.size());
        if (!packet)
            fail(QStringLiteral("Data packet not found"));
        const Tag packetTag = readTag(*packet);
        owner_.packetVersion_ = toDouble(packetTag.value("version"));
        owner_.packetTime_ = readPacketTime(packetTag);
        if (owner_.packetVersion_ > owner_.fileVersion_)
            fail(QStringLiteral("Incompatible file verion"));

        const auto meta = findPair(kMetadata, kMetadataEnd, packetTag.contentStart, packet->closePos);
        if (!meta)
            fail(QStringLiteral("Metadata not found"));
        const Tag metaTag = readTag(*meta);
        owner_.hasFieldDefs_ = isYes(metaTag.value("fielddefs"));
        owner_.hasIndexDefs_ = isYes(metaTag.value("indexdefs"));
        owner_.hasRecordData_ = isYes(metaTag.value("recorddata"));
        owner_.hasChanges_ = isYes(metaTag.value("changes"));

        const auto defs = findPair(kFielddefs, kFielddefsEnd, metaTag.contentStart, meta->closePos);
        if (!defs)
            fail(QStringLiteral("Field definitions not found"));
        const Tag defsTag = readTag(*defs);
        owner_.fieldDefCount_ = toInt(defsTag.value("count"));
        readFieldDefs(defsTag.contentStart, defs->closePos);

        qsizetype dataFrom = defs->closeEnd;
        if (const auto index = findPair(kIndexdefs, kIndexdefsEnd, dataFrom, meta->closePos)) {
            owner_.indexDefCount_ = toInt(readTag(*index).value("count"));
            dataFrom = index->closeEnd;
        }

        if (const auto rows = findPair(kRecorddata, kRecorddataEnd, dataFrom, packet->closePos)) {
            const Tag rowsTag = readTag(*rows);
            owner_.recordCount_ = toInt(rowsTag.value("count"));
            readRows(rowsTag.contentStart, rows->closePos);
        }
        table_.first();
        if (owner_.recordCount_ > 0 && rowsRead_ != owner_.recordCount_)
            fail(QStringLiteral("Insufficient Record Count Received"));
    }

private:
    static bool isYes(const QByteArray& v) { return v.compare("yes", Qt::CaseInsensitive) == 0; }

    // An element that opens inside [from, to) must also close there.
    std::optional<Span> findPair(const Marker& open, const Marker& close, qsizetype from, qsizetype to) const
    {
        const qsizetype openPos = open.find(data_, from, to);
        if (openPos < 0)
            return std::nullopt;
        const qsizetype openEnd = openPos + open.size();
        const qsizetype closePos = close.find(data_, openEnd, to);
        if (closePos < 0)
            fail(QStringLiteral("No %1 after %2").arg(close.text(), open.text()));
        return Span{openEnd, closePos, closePos + close.size()};
    }

    // The attribute text runs from the opening marker to the next ">".
    Tag readTag(const Span& span) const
    {
        const qsizetype gt = kTagEnd.find(data_, span.openEnd, span.closeEnd);
        const qsizetype end = gt < 0 ? span.closePos : gt;
        return splitAttributes(data_.mid(span.openEnd, end - span.openEnd), gt < 0 ? span.closePos : gt + 1);
    }

    void readFieldDefs(qsizetype from, qsizetype to)
    {
        table_.clearFields();
        while (const auto span = findPair(kFielddef, kEmptyEnd, from, to)) {
            if (table_.fieldCount() == kMaxFields)
                fail(QStringLiteral("Too many field definitions (more than %1)").arg(kMaxFields));
            const Tag tag = readTag(*span);
            MemTable::FieldDef def;
            def.name = text::fromWin1250(tag.value("name"));
            def.dataType = text::fromWin1250(tag.value("datatype")).toLower();
            def.size = toInt(tag.value("fieldsize"));
            def.required = tag.value("required") == "true";
            const QByteArray kind = tag.value("fieldkind");
            if (!kind.isEmpty())
                def.kind = text::fromWin1250(kind);
            def.displayLabel = text::fromWin1250(tag.value("displaylabel"));
            def.editMask = text::fromWin1250(tag.value("editmask"));
            def.displayWidth = toInt(tag.value("displaywidth"));
            def.readOnly = tag.value("readonly") == "true";
            QString error;
            if (!table_.addField(def, &error))
                fail(error);
            from = span->closeEnd;
        }
    }

    void readRows(qsizetype from, qsizetype to)
    {
        while (const auto row = findPair(kRow, kRowEnd, from, to)) {
            table_.append();
            readFields(row->openEnd, row->closePos);
            check(table_.post(&error_));
            ++rowsRead_;
            from = row->closeEnd;
        }
    }

    void readFields(qsizetype from, qsizetype to)
    {
        while (const auto span = findPair(kField, kTagEnd, from, to)) {
            const Tag tag = readTag(*span);
            from = span->closeEnd;
            if (tag.attributes.size() != 2)
                fail(QStringLiteral("Insufficient number of parameters"));
            const Attribute* name = tag.find("name");
            const Attribute* value = tag.find("value");
            const Attribute* size = tag.find("size");
            if (!name || (!value && !size))
                fail(QStringLiteral("Unexpected parameter(s)"));
            const QString field = text::fromWin1250(name->value);
            if (value) {
                check(table_.setFieldText(field, text::fromWin1250(value->value), &error_));
                continue;
            }
            const int expected = toInt(size->value);
            if (expected < 0) {
                check(table_.setFieldNull(field, &error_));
                continue;
            }
            // The value lies in a CDATA section before this field's "</field>".
            qsizetype limit = from;
            if (!tag.empty) {
                const qsizetype fieldEnd = kFieldEnd.find(data_, from, to);
                limit = fieldEnd < 0 ? to : fieldEnd;
                if (fieldEnd >= 0)
                    from = fieldEnd + kFieldEnd.size();
            }
            QByteArray bytes;
            if (expected > 0) {
                if (const auto cdata = findPair(kCdata, kCdataEnd, span->closeEnd, limit))
                    bytes = decodeBase64(data_, cdata->openEnd, cdata->closePos);
                if (bytes.size() != expected)
                    fail(QStringLiteral("Unexpected CDATA Size"));
            }
            check(table_.setFieldText(field, text::fromWin1250(bytes), &error_));
        }
    }

    void check(bool ok) const
    {
        if (!ok)
            fail(error_);
    }

    TXMLDataset& owner_;
    MemTable& table_;
    const QByteArray& data_;
    QString error_;
    int rowsRead_ = 0;
};

void TXMLDataset::reset()
{
    lastError_.clear();
    fieldDefCount_ = indexDefCount_ = recordCount_ = 0;
    hasFieldDefs_ = hasIndexDefs_ = hasRecordData_ = hasChanges_ = false;
    packetVersion_ = 0;
    packetTime_ = QDateTime();
}

bool TXMLDataset::loadFromStream(QIODevice* stream)
{
    if (!stream) {
        reset();
        lastError_ = QStringLiteral("Dataset not assigned");
        return false;
    }
    if (!stream->isOpen() && !stream->open(QIODevice::ReadOnly)) {
        reset();
        lastError_ = stream->errorString();
        return false;
    }
    return loadFromBytes(stream->readAll());
}

bool TXMLDataset::loadFromBytes(const QByteArray& packet)
{
    reset();
    if (!dataSet_) {
        lastError_ = QStringLiteral("Dataset not assigned");
        return false;
    }
    // The table shows this packet only, never rows left from an earlier load.
    dataSet_->clearFields();
    const qsizetype nul = packet.indexOf('\0');
    const QByteArray data = nul < 0 ? packet : packet.left(nul);
    try {
        Parser(*this, *dataSet_, data).run();
        return true;
    } catch (const LoadError& e) {
        lastError_ = e.message;
    } catch (const std::exception& e) {
        lastError_ = QString::fromLocal8Bit(e.what());
    }
    dataSet_->cancel();
    dataSet_->first();
    return false;
}
