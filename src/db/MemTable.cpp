#include "db/MemTable.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>

namespace {

void setError(QString* error, const QString& message)
{
    if (error)
        *error = message;
}

bool isIntegerType(const QString& t)
{
    return t == u"integer" || t == u"smallint" || t == u"word" || t == u"autoinc";
}

bool isFloatType(const QString& t)
{
    return t == u"float" || t == u"currency" || t == u"bcd";
}

// Times travel as "hh:mm:ss:zzz" (the packet's own format); shorter forms and
// the ISO "." before milliseconds are accepted as well.
QTime parseTime(const QString& text)
{
    for (const char* format : {"hh:mm:ss:zzz", "hh:mm:ss.zzz", "hh:mm:ss", "hh:mm"}) {
        const QTime t = QTime::fromString(text, QLatin1String(format));
        if (t.isValid())
            return t;
    }
    return {};
}

}  // namespace

const QStringList& MemTable::dataTypeNames()
{
    static const QStringList names = {
        "adt",         "array",      "autoinc",   "bcd",      "blob",       "boolean",
        "bytes",       "currency",   "cursor",    "dataset",  "date",       "datetime",
        "dbaseole",    "fixedchar",  "float",     "fmtmemo",  "graphic",    "guid",
        "idispatch",   "integer",    "interface", "largeint", "memo",       "orablob",
        "oraclob",     "paradoxole", "reference", "smallint", "string",     "time",
        "typedbinary", "unknown",    "varbytes",  "variant",  "widestring", "word",
    };
    return names;
}

void MemTable::clearFields()
{
    clearRows();
    fields_.clear();
}

bool MemTable::addField(const FieldDef& def, QString* error)
{
    if (def.name.isEmpty()) {
        setError(error, QStringLiteral("Field name missing"));
        return false;
    }
    if (fieldIndex(def.name) >= 0) {
        setError(error, QStringLiteral("Duplicate field name '%1'").arg(def.name));
        return false;
    }
    if (!dataTypeNames().contains(def.dataType)) {
        setError(error,
                 QStringLiteral("Field '%1' has an unknown datatype '%2'").arg(def.name, def.dataType));
        return false;
    }
    clearRows();
    fields_.append(def);
    return true;
}

int MemTable::fieldIndex(const QString& name) const
{
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void MemTable::clearRows()
{
    cancel();
    rows_.clear();
    current_ = -1;
}

void MemTable::append()
{
    buffer_ = QList<QVariant>(fields_.size());
    editing_ = true;
}

bool MemTable::setFieldText(const QString& name, const QString& text, QString* error)
{
    const int i = fieldIndex(name);
    if (i < 0) {
        setError(error, QStringLiteral("Field '%1' not found").arg(name));
        return false;
    }
    QVariant v;
    if (!convert(fields_[i], text, v, error))
        return false;
    return setValue(name, v, error);
}

bool MemTable::setFieldNull(const QString& name, QString* error)
{
    return setValue(name, QVariant(), error);
}

bool MemTable::setValue(const QString& name, const QVariant& value, QString* error)
{
    const int i = fieldIndex(name);
    if (i < 0) {
        setError(error, QStringLiteral("Field '%1' not found").arg(name));
        return false;
    }
    if (!editing_) {
        setError(error, QStringLiteral("Dataset not in edit or insert mode"));
        return false;
    }
    buffer_[i] = value;
    return true;
}

bool MemTable::post(QString* error)
{
    if (!editing_) {
        setError(error, QStringLiteral("Dataset not in edit or insert mode"));
        return false;
    }
    for (int i = 0; i < fields_.size(); ++i) {
        if (fields_[i].required && !buffer_[i].isValid()) {
            setError(error, QStringLiteral("Field '%1' must have a value").arg(fields_[i].name));
            return false;
        }
    }
    rows_.append(buffer_);
    current_ = int(rows_.size()) - 1;
    cancel();
    return true;
}

void MemTable::cancel()
{
    buffer_.clear();
    editing_ = false;
}

bool MemTable::first()
{
    current_ = rows_.isEmpty() ? -1 : 0;
    return current_ == 0;
}

bool MemTable::next()
{
    if (current_ < 0 || current_ >= recordCount())
        return false;
    ++current_;
    return !eof();
}

bool MemTable::locate(const QString& name, const QVariant& value)
{
    const int f = fieldIndex(name);
    if (f < 0)
        return false;
    for (int r = 0; r < rows_.size(); ++r) {
        if (rows_[r][f] == value) {
            current_ = r;
            return true;
        }
    }
    return false;
}

QVariant MemTable::value(const QString& name) const
{
    const int f = fieldIndex(name);
    if (f < 0)
        return {};
    if (editing_)
        return buffer_.at(f);
    return eof() ? QVariant() : rows_.at(current_).at(f);
}

// Text to the field's value. Numbers and dates are read in one fixed format
// ("." before decimals, ISO dates) whatever the user's locale says, because the
// texts come from files, not from the user.
bool MemTable::convert(const FieldDef& def, const QString& text, QVariant& out, QString* error)
{
    const QString& t = def.dataType;
    const bool numeric = isIntegerType(t) || isFloatType(t) || t == u"largeint";
    const bool temporal = t == u"date" || t == u"time" || t == u"datetime";
    if (text.isEmpty() && (numeric || temporal || t == u"boolean")) {
        out = QVariant();  // an empty number or date is no value
        return true;
    }
    bool ok = true;
    if (isIntegerType(t)) {
        out = text.trimmed().toInt(&ok);
    } else if (t == u"largeint") {
        out = text.trimmed().toLongLong(&ok);
    } else if (isFloatType(t)) {
        out = QLocale::c().toDouble(text.trimmed(), &ok);
    } else if (t == u"boolean") {
        ok = text.compare(u"true", Qt::CaseInsensitive) == 0 ||
             text.compare(u"false", Qt::CaseInsensitive) == 0;
        out = text.compare(u"true", Qt::CaseInsensitive) == 0;
    } else if (t == u"date") {
        const QDate d = QDate::fromString(text.trimmed(), QStringLiteral("yyyy-MM-dd"));
        ok = d.isValid();
        out = d;
    } else if (t == u"time") {
        const QTime tm = parseTime(text.trimmed());
        ok = tm.isValid();
        out = tm;
    } else if (t == u"datetime") {
        const QString s = text.trimmed();
        const QDate d = QDate::fromString(s.left(10), QStringLiteral("yyyy-MM-dd"));
        const QString rest = s.mid(11);
        const QTime tm = rest.isEmpty() ? QTime(0, 0) : parseTime(rest);
        ok = d.isValid() && tm.isValid() && (s.size() == 10 || s[10] == u' ' || s[10] == u'T');
        out = QDateTime(d, tm);
    } else {
        out = text;  // memo, string and the binary kinds keep the text as it is
    }
    if (!ok)
        setError(error, QStringLiteral("'%1' is not a valid value for field '%2'").arg(text, def.name));
    return ok;
}
