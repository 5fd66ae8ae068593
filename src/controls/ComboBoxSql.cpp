#include "controls/ComboBoxSql.h"

#include "framework/TextHelpers.h"

namespace {

// ", KEY" for every key column that is set, from key `first` (0-based) on.
void addKeyColumns(QStringList& lines, const ComboLookup& cfg, int first)
{
    for (int i = first; i < 9; ++i) {
        if (!cfg.keyFields[size_t(i)].isEmpty())
            lines << QStringLiteral(",") + cfg.keyFields[size_t(i)];
    }
}

ComboKeyColumns keyColumns(const ComboLookup& cfg, int first, int column)
{
    ComboKeyColumns map;
    map.fill(-1);
    for (int i = first; i < 9; ++i) {
        if (!cfg.keyFields[size_t(i)].isEmpty())
            map[size_t(i)] = column++;
    }
    return map;
}

void addWhereAndOrder(QStringList& lines, const ComboLookup& cfg, bool hasWhere)
{
    if (!cfg.where.isEmpty())
        lines << (hasWhere ? QStringLiteral("and ") : QStringLiteral("where ")) + cfg.where;
    if (!cfg.orderBy.isEmpty())
        lines << QStringLiteral("order by ") + cfg.orderBy;
}

// A text parameter compared under the column's collation: a bare parameter
// has no character set of its own, so it is cast first (the length only
// bounds the parameter buffer).
QString textParam(const QString& name, const QString& text)
{
    return QStringLiteral("cast(:%1 as varchar(%2) character set WIN1250)").arg(name).arg(qMax<qsizetype>(1, text.size()));
}

}  // namespace

QStringList ContainingWords(const QString& text)
{
    QStringList words;
    for (const QString& part : text.split(QLatin1Char('*'))) {
        const QString word = part.trimmed();
        if (!word.isEmpty())
            words << ToPlainUpper(word);
    }
    return words;
}

ComboKeyColumns DropDownKeyColumns(const ComboLookup& cfg)
{
    return keyColumns(cfg, 0, 1);
}

fb::Statement BuildDropDownSql(const ComboLookup& cfg, const QString& text, int typedLength, bool filtered)
{
    fb::Statement st;
    st.lines << QStringLiteral("Select");
    if (cfg.distinct)
        st.lines << QStringLiteral("Distinct");
    st.lines << cfg.appendFromField;
    addKeyColumns(st.lines, cfg, 0);
    st.lines << QStringLiteral("from ") + cfg.tableName;

    bool hasWhere = false;
    if (filtered && !text.isEmpty()) {
        if (text.startsWith(QLatin1Char('*'))) {
            const QStringList words = ContainingWords(text);
            for (qsizetype n = 0; n < words.size(); ++n) {
                const QString join = n == 0 ? QStringLiteral("where") : QStringLiteral("and");
                const QString name = QStringLiteral("DATA%1").arg(n + 1);
                QString column;
                if (cfg.useBasicAsciiColumn)
                    column = cfg.appendFromField + QStringLiteral("_x");
                else if (cfg.onlyNumbers)
                    column = cfg.appendFromField;
                else
                    column = QStringLiteral("UpperQDL2(%1)").arg(cfg.appendFromField);
                st.lines << QStringLiteral("%1 %2 containing :%3").arg(join, column, name);
                st.params.insert(name, words.at(n));
            }
            hasWhere = !words.isEmpty();
        } else {
            const QString typed = text.left(qMax(0, typedLength));
            if (cfg.useBasicAsciiColumn)
                st.lines << QStringLiteral("where %1_x starting :DATA").arg(cfg.appendFromField);
            else if (cfg.onlyNumbers)
                st.lines << QStringLiteral("where %1 starting :DATA").arg(cfg.appendFromField);
            else
                st.lines << QStringLiteral("where UpperQDL2(%1) starting :DATA").arg(cfg.appendFromField);
            st.params.insert(QStringLiteral("DATA"), cfg.onlyNumbers ? typed : ToPlainUpper(typed));
            hasWhere = true;
        }
    }
    addWhereAndOrder(st.lines, cfg, hasWhere);
    return st;
}

fb::Statement BuildAppendTextSql(const ComboLookup& cfg, const QString& text)
{
    fb::Statement st;
    st.lines << QStringLiteral("Select First 1 ") + cfg.appendFromField;
    addKeyColumns(st.lines, cfg, 0);
    st.lines << QStringLiteral("from ") + cfg.tableName + QStringLiteral(" where");
    if (cfg.useBasicAsciiColumn)
        st.lines << cfg.appendFromField + QStringLiteral("_X starting :DATA");
    else
        st.lines << QStringLiteral("UpperQDL2(") + cfg.appendFromField + QStringLiteral(") starting :DATA");
    st.params.insert(QStringLiteral("DATA"), ToPlainUpper(text));
    addWhereAndOrder(st.lines, cfg, true);
    return st;
}

ComboKeyColumns IsNotExistKeyColumns(const ComboLookup& cfg)
{
    ComboKeyColumns map = keyColumns(cfg, 1, 2);
    map[0] = 1;
    return map;
}

fb::Statement BuildIsNotExistSql(const ComboLookup& cfg, const QString& text)
{
    fb::Statement st;
    st.lines << QStringLiteral("Select ") + cfg.appendFromField + QStringLiteral(",") + cfg.keyFields[0];
    addKeyColumns(st.lines, cfg, 1);
    st.lines << QStringLiteral("from ") + cfg.tableName;
    if (cfg.useBasicAsciiColumn) {
        st.lines << QStringLiteral("where ") + cfg.appendFromField + QStringLiteral("_X=:SWHERE");
        st.params.insert(QStringLiteral("SWHERE"), ToPlainUpper(text));
    } else if (cfg.onlyNumbers) {
        st.lines << QStringLiteral("where Cast(") + cfg.appendFromField + QStringLiteral(" as numeric)=:SWHERE");
        st.params.insert(QStringLiteral("SWHERE"), text.trimmed());
    } else {
        st.lines << QStringLiteral("where Upper(%1 COLLATE PXW_CSY)=UPPER(%2 COLLATE PXW_CSY)")
                        .arg(cfg.appendFromField, textParam(QStringLiteral("SWHERE"), text));
        st.params.insert(QStringLiteral("SWHERE"), text);
    }
    if (!cfg.where.isEmpty())
        st.lines << QStringLiteral("and ") + cfg.where;
    return st;
}

ComboKeyColumns FindItKeyColumns(const ComboLookup& cfg)
{
    return keyColumns(cfg, 1, 1);
}

fb::Statement BuildFindItSql(const ComboLookup& cfg, const QVariant& value)
{
    fb::Statement st;
    st.lines << QStringLiteral("Select ") + cfg.appendFromField;
    addKeyColumns(st.lines, cfg, 1);
    st.lines << QStringLiteral("from ") + cfg.tableName + QStringLiteral(" Where ") + cfg.keyFields[0]
                    + QStringLiteral("=:SKEYVALUE");
    st.params.insert(QStringLiteral("SKEYVALUE"), value);
    addWhereAndOrder(st.lines, cfg, true);
    return st;
}

fb::Statement BuildFindIt2Sql(const ComboLookup& cfg, const QVariant& value1, const QVariant& value2)
{
    fb::Statement st;
    st.lines << QStringLiteral("Select First 1 ") + cfg.appendFromField;
    addKeyColumns(st.lines, cfg, 1);
    st.lines << QStringLiteral("from ") + cfg.tableName + QStringLiteral(" Where ") + cfg.keyFields[0]
                    + QStringLiteral("=:SKEYVALUE");
    st.params.insert(QStringLiteral("SKEYVALUE"), value1);
    if (!cfg.keyFields[1].isEmpty()) {
        st.lines << QStringLiteral("and ") + cfg.keyFields[1] + QStringLiteral("=:SKEYVALUE2");
        st.params.insert(QStringLiteral("SKEYVALUE2"), value2);
    }
    addWhereAndOrder(st.lines, cfg, true);
    return st;
}

fb::Statement BuildFindFirstSql(const ComboLookup& cfg)
{
    fb::Statement st;
    st.lines << QStringLiteral("Select ") + cfg.keyFields[0] + QStringLiteral(" from ") + cfg.tableName;
    if (!cfg.where.isEmpty())
        st.lines << QStringLiteral("Where ") + cfg.where;
    if (!cfg.orderBy.isEmpty())
        st.lines << QStringLiteral("Order by ") + cfg.orderBy;
    return st;
}
