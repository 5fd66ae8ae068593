// The migration scripts against a real database: the schema they produce, the
// values they leave in old rows, the server-side logic they install, and the
// runner and window that apply them.

#include "TestDatabase.h"

#include "db/BaseSchema.h"
#include "db/MemTable.h"
#include "db/MigrationRunner.h"
#include "db/SchemaText.h"
#include "db/UpdatePackage.h"
#include "db/fUpdate.h"
#include "sample/SampleData.h"
#include "fb/Decimal.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "support/DialogTranscript.h"
#include "support/Modal.h"

#include <QFile>
#include <QListWidget>
#include <QMap>
#include <QPushButton>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <vector>

void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

constexpr int kSupported = 103;
const QString kNull = QStringLiteral("<null>");
const QString kFinished = QStringLiteral("Aktualizácia databázy bola ukončená.");

// --- rows as text -----------------------------------------------------------------------------------

// One value of an expected row as it is written in the .inc files.
struct Cell {
    QString text;
    Cell(int v) : text(QString::number(v)) {}
    Cell(bool v) : text(v ? QStringLiteral("1") : QStringLiteral("0")) {}
    Cell(const char* s) : text(s ? QString::fromUtf8(s) : kNull) {}
    Cell(std::nullptr_t) : text(kNull) {}
};
using Row = std::vector<Cell>;

QString rowText(const Row& row)
{
    QStringList parts;
    for (const Cell& c : row)
        parts << c.text;
    return parts.join(QStringLiteral(" | "));
}

QStringList rowTexts(const std::vector<Row>& rows)
{
    QStringList out;
    for (const Row& r : rows)
        out << rowText(r);
    return out;
}

QString valueText(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return kNull;
    if (v.metaType() == QMetaType::fromType<fb::Decimal>())
        return v.value<fb::Decimal>().toString();
    return v.toString();
}

// Every row of a query as text, values joined like rowText. System names are
// CHAR(31) padded with blanks, so schema queries trim; data queries do not.
QStringList queryRows(fb::Connection& connection, const QString& sql, bool trim = false,
                      const QStringList& collapse = {})
{
    fb::Transaction tr(connection, {QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                                    QStringLiteral("read"), QStringLiteral("nowait")});
    tr.start();
    fb::Query q(tr);
    q.setParamCheck(false);
    q.setSql(sql);
    q.execute();
    QStringList rows;
    while (q.next()) {
        QStringList parts;
        for (int c = 0; c < q.columnCount(); ++c) {
            QString t = valueText(q.value(c));
            if (trim)
                t = t.trimmed();
            if (collapse.contains(q.column(c).name))
                t = t.simplified();
            parts << t;
        }
        rows << parts.join(QStringLiteral(" | "));
    }
    q.close();
    tr.commit();
    return rows;
}

// Compares as sorted lists and says which rows are missing and which are extra.
::testing::AssertionResult sameRows(QStringList expected, QStringList actual)
{
    std::sort(expected.begin(), expected.end());
    std::sort(actual.begin(), actual.end());
    if (expected == actual)
        return ::testing::AssertionSuccess();
    QStringList missing, extra;
    std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(),
                        std::back_inserter(missing));
    std::set_difference(actual.begin(), actual.end(), expected.begin(), expected.end(),
                        std::back_inserter(extra));
    auto result = ::testing::AssertionFailure();
    if (!missing.isEmpty())
        result << "\n  expected, not found:\n    " << missing.join(QStringLiteral("\n    ")).toStdString();
    if (!extra.isEmpty())
        result << "\n  found, not expected:\n    " << extra.join(QStringLiteral("\n    ")).toStdString();
    return result;
}

QString sourceFile(const char* name)
{
    QFile f(QStringLiteral(LINDAVO_DB_TEST_DIR "/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "cannot read " << f.fileName().toStdString();
    return QString::fromUtf8(f.readAll());
}

// The queries of schema_query.sql by name: "-- query: NAME" up to a line ending in ";".
QMap<QString, QString> schemaQueries()
{
    QMap<QString, QString> out;
    QString name;
    QStringList lines;
    for (const QString& line : sourceFile("schema_query.sql").split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("-- query: "))) {
            name = line.mid(10).trimmed();
            lines.clear();
            continue;
        }
        if (name.isEmpty())
            continue;
        const QString t = line.trimmed();
        if (t.endsWith(QLatin1Char(';'))) {
            lines << t.chopped(1);
            out.insert(name, lines.join(QLatin1Char('\n')));
            name.clear();
        } else {
            lines << line;
        }
    }
    return out;
}

// --- the runner -------------------------------------------------------------------------------------

MemTable embeddedPackage()
{
    MemTable t;
    QString error;
    EXPECT_TRUE(loadUpdatePackage(t, &error)) << error.toStdString();
    return t;
}

// The embedded scripts with script `broken` replaced by `text`.
MemTable packageWith(int broken, const QString& text)
{
    MemTable original = embeddedPackage();
    MemTable t;
    MemTable::FieldDef number;
    number.name = QStringLiteral("VERSION_NUMBER");
    number.dataType = QStringLiteral("integer");
    number.required = true;
    MemTable::FieldDef script;
    script.name = QStringLiteral("LONG_SCRIPT");
    script.dataType = QStringLiteral("memo");
    script.size = 8;
    t.addField(number);
    t.addField(script);
    for (bool more = original.first(); more; more = original.next()) {
        const int n = original.value(QStringLiteral("VERSION_NUMBER")).toInt();
        t.append();
        t.setFieldText(QStringLiteral("VERSION_NUMBER"), QString::number(n));
        t.setFieldText(QStringLiteral("LONG_SCRIPT"),
                       n == broken ? text : original.text(QStringLiteral("LONG_SCRIPT")));
        t.post();
    }
    return t;
}

struct Pass {
    MigrationRunner::PassResult result = MigrationRunner::PassResult::Failed;
    QStringList lines;
};

Pass runPass(fb::Connection& connection, const MemTable& package, int supported = kSupported)
{
    Pass p;
    MigrationRunner runner(connection, package, supported);
    ReportThroughDialogs(runner);
    runner.addItem = [&p](const QString& line) { p.lines << line; };
    p.result = runner.RunPass();
    return p;
}

QStringList applyLines(int from, int to)
{
    QStringList out;
    for (int n = from; n <= to; ++n)
        out << QStringLiteral("  --- aktualizácia na verziu %1").arg(n);
    return out;
}

// The lines of a pass that applies scripts from..to.
QStringList passLines(int from, int to)
{
    QStringList out{QStringLiteral("Kontrola počtu pripojených užívateľov"), QStringLiteral("--- OK")};
    out += applyLines(from, to);
    out << kFinished;
    return out;
}

int version(TestDatabase& db)
{
    return db.scalar(QStringLiteral("select coalesce(max(VERSION), 0) from DATABASE_UPDATES")).toInt();
}

QStringList recordedVersions(TestDatabase& db)
{
    return queryRows(db.connection(),
                     QStringLiteral("select VERSION from DATABASE_UPDATES order by VERSION"));
}

// A version-0 database holding legacy_rows.sql, migrated to the current version.
void migrateLegacyRows(TestDatabase& db)
{
    db.exec(SplitSqlScript(sourceFile("legacy_rows.sql")));
    const MemTable package = embeddedPackage();
    DialogTranscript transcript;
    const Pass p = runPass(db.connection(), package);
    ASSERT_EQ(p.result, MigrationRunner::PassResult::Completed) << p.lines.join('\n').toStdString();
    ASSERT_EQ(transcript.count(), 0) << transcript.last().text.toStdString();
}

// A zlib-compressed datapacket with the given scripts (numbered from 1), as the package builder writes it.
QByteArray packageBytes(int scripts)
{
    QByteArray rows;
    for (int n = 1; n <= scripts; ++n) {
        const QByteArray text = "select " + QByteArray::number(n) + " from rdb$database";
        rows += "<row><field name=\"VERSION_NUMBER\" value=\"" + QByteArray::number(n) +
                "\"/><field name=\"LONG_SCRIPT\" size=\"" + QByteArray::number(text.size()) + "\"><![CDATA[" +
                text.toBase64() + "]]></field></row>\r\n";
    }
    const QByteArray xml =
        "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n"
        "<datapacket version=\"2.000\" destination=\"\" day=\"25\" month=\"6\" year=\"2015\" hour=\"8\" "
        "min=\"44\" "
        "sec=\"29\" msec=\"412\"><metadata fielddefs=\"yes\" indexdefs=\"no\" recorddata=\"yes\" "
        "changes=\"yes\">"
        "<fielddefs count=\"2\"><fielddef name=\"VERSION_NUMBER\" fieldkind=\"data\" datatype=\"integer\" "
        "fieldsize=\"0\" displaylabel=\"\" editmask=\"\" displaywidth=\"10\" fieldindex=\"0\" "
        "required=\"true\" "
        "readonly=\"false\"/><fielddef name=\"LONG_SCRIPT\" fieldkind=\"data\" datatype=\"memo\" "
        "fieldsize=\"8\" "
        "displaylabel=\"\" editmask=\"\" displaywidth=\"10\" fieldindex=\"1\" required=\"false\" "
        "readonly=\"false\"/>"
        "</fielddefs><indexdefs count=\"0\"></indexdefs></metadata><recorddata count=\"" +
        QByteArray::number(scripts) + "\">\r\n" + rows + "</recorddata></datapacket>\r\n";
    uLongf size = compressBound(uLong(xml.size()));
    QByteArray out(qsizetype(size), '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(xml.constData()),
              uLong(xml.size()), Z_BEST_COMPRESSION);
    out.truncate(qsizetype(size));
    return out;
}

// --- expected rows (tests/db/*.inc) ------------------------------------------------------------------

const std::vector<Row> kColumns = {
#include "expected_schema.inc"
};
const std::vector<Row> kDomains = {
#include "expected_schema_domains.inc"
};
const std::vector<Row> kPrimaryKeys = {
#include "expected_schema_primary_keys.inc"
};
const std::vector<Row> kForeignKeys = {
#include "expected_schema_foreign_keys.inc"
};
const std::vector<Row> kIndexes = {
#include "expected_schema_indexes.inc"
};
const std::vector<Row> kTriggers = {
#include "expected_schema_triggers.inc"
};
const std::vector<Row> kRoutines = {
#include "expected_schema_routines.inc"
};
const std::vector<Row> kPonuky = {
#include "expected_schema_ponuky.inc"
};
const std::vector<Row> kUzivatelia = {
#include "expected_schema_uzivatelia.inc"
};
const char* const kSequences[] = {
#include "expected_schema_sequences.inc"
};
const char* const kFunctions[] = {
#include "expected_schema_functions.inc"
};
const char* const kTriggerBody[] = {
#include "expected_schema_trigger_body.inc"
};

const std::vector<Row> kLegacyPreklady = {
#include "legacy_expected_preklady.inc"
};
const std::vector<Row> kLegacyKombinacie = {
#include "legacy_expected_kombinacie.inc"
};
const std::vector<Row> kLegacyAdresar = {
#include "legacy_expected_adresar.inc"
};
const std::vector<Row> kLegacyCodes = {
#include "legacy_expected_codes.inc"
};

QStringList names(const char* const* begin, const char* const* end)
{
    QStringList out;
    for (auto p = begin; p != end; ++p)
        out << QString::fromUtf8(*p);
    return out;
}

}  // namespace

// --- the schema -------------------------------------------------------------------------------------

TEST(MigrationTest, VersionZeroGetsEveryScriptAndTheCurrentSchema)
{
    TestDatabase db(TestDatabase::Base);
    const MemTable package = embeddedPackage();
    ASSERT_EQ(package.recordCount(), kSupported);
    DialogTranscript transcript;
    const Pass p = runPass(db.connection(), package);
    ASSERT_EQ(p.result, MigrationRunner::PassResult::Completed);
    EXPECT_EQ(transcript.count(), 0);
    EXPECT_EQ(p.lines, passLines(1, kSupported));

    const QMap<QString, QString> queries = schemaQueries();
    fb::Connection& c = db.connection();
    const auto rows = [&](const char* name, const QStringList& collapse = {}) {
        EXPECT_TRUE(queries.contains(QLatin1String(name))) << name;
        return queryRows(c, queries.value(QLatin1String(name)), true, collapse);
    };
    EXPECT_TRUE(sameRows(rowTexts(kColumns), rows("columns", {"DEFAULT_TEXT"}))) << "columns";
    EXPECT_TRUE(sameRows(rowTexts(kDomains), rows("domains", {"DEFAULT_TEXT", "CHECK_TEXT"}))) << "domains";
    EXPECT_TRUE(sameRows(rowTexts(kPrimaryKeys), rows("primary_keys"))) << "primary keys";
    EXPECT_TRUE(sameRows(rowTexts(kForeignKeys), rows("foreign_keys"))) << "foreign keys";
    // The expected indexes are all ascending and active: the query's two last columns must be 0.
    QStringList indexes;
    for (const Row& r : kIndexes)
        indexes << rowText(r) + QStringLiteral(" | 0 | 0");
    EXPECT_TRUE(sameRows(indexes, rows("indexes"))) << "indexes";
    EXPECT_TRUE(sameRows(rowTexts(kTriggers), rows("triggers"))) << "triggers";
    EXPECT_TRUE(sameRows(rowTexts(kRoutines), rows("procedure_parameters"))) << "procedure parameters";
    EXPECT_TRUE(sameRows(names(std::begin(kSequences), std::end(kSequences)), rows("sequences")))
        << "sequences";
    EXPECT_TRUE(sameRows(names(std::begin(kFunctions), std::end(kFunctions)), rows("functions")))
        << "functions";
    EXPECT_TRUE(sameRows(rowTexts(kPonuky), rows("ponuky"))) << "PONUKY";
    EXPECT_TRUE(sameRows(rowTexts(kUzivatelia), rows("uzivatelia"))) << "UZIVATELIA";
    EXPECT_EQ(rows("version"), QStringList{QStringLiteral("103 | 103")});

    // The trigger's statements, in order, in its source with white space collapsed.
    const QStringList source = rows("trigger_source", {"SOURCE_TEXT"});
    ASSERT_EQ(source.size(), 1);
    const QString body = source.first();
    qsizetype from = 0;
    for (const char* statement : kTriggerBody) {
        const qsizetype at = body.indexOf(QString::fromUtf8(statement), from);
        EXPECT_GE(at, 0) << "not found (in this order): " << statement << "\nin: " << body.toStdString();
        if (at >= 0)
            from = at + qsizetype(strlen(statement));
    }
}

// --- old rows ---------------------------------------------------------------------------------------

// The readable schema beside the scripts is the one the scripts make: a script
// added or changed without writing it again fails here.
TEST(MigrationTest, TheSchemaFileIsTheMigratedSchema)
{
    TestDatabase db(TestDatabase::Migrated);
    QFile file(QStringLiteral(LINDAVO_SCHEMA_FILE));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << LINDAVO_SCHEMA_FILE;
    const QStringList stored = QString::fromUtf8(file.readAll()).split(u'\n');
    const QStringList actual = SchemaText(db.connection()).split(u'\n');
    for (qsizetype i = 0; i < std::max(stored.size(), actual.size()); ++i) {
        ASSERT_EQ(stored.value(i).toStdString(), actual.value(i).toStdString())
            << "line " << i + 1 << " of " << LINDAVO_SCHEMA_FILE
            << " differs; write it again: dbinit NEW.fdb --migrate --schema " << LINDAVO_SCHEMA_FILE;
    }
}

TEST(MigrationTest, LegacyRowsGetTheirNewValues)
{
    TestDatabase db(TestDatabase::Base);
    ASSERT_NO_FATAL_FAILURE(migrateLegacyRows(db));
    fb::Connection& c = db.connection();

    EXPECT_TRUE(sameRows(
        rowTexts(kLegacyPreklady),
        queryRows(c,
                  QStringLiteral("select JEDIN, OBJ_MENA, OBJ_CENA_MJ, OBJ_KURZ, OBJ_CENA, OBJ_CENA_SKK,"
                                 " PRE_MENA, PRE_CENA_MJ, PRE_KURZ, PRE_CENA, PRE_CENA_SKK, ZISK_PERCENTO,"
                                 " OBJ_UKONCENE, PRE_UKONCENE, UKONCENE, JAZYKOVA_KOMBINACIA, OBJ_MJ, PRE_MJ,"
                                 " OBJ_MJ_STR, PRE_MJ_STR from PREKLADY"))))
        << "PREKLADY";
    EXPECT_TRUE(
        sameRows(rowTexts(kLegacyKombinacie),
                 queryRows(c, QStringLiteral("select JEDIN, ADRESAR, JAZYKOVA_KOMBINACIA, CENA, MENA, MJ,"
                                             " MJ_STR from KOMBINACIE"))))
        << "KOMBINACIE";
    EXPECT_TRUE(sameRows(rowTexts(kLegacyAdresar),
                         queryRows(c, QStringLiteral("select JEDIN, SPOSOB_PLATBY, NAZOV_UPLNY, NAZOV_UPLNY_X"
                                                     " from ADRESAR"))))
        << "ADRESAR";
    EXPECT_TRUE(
        sameRows(rowTexts(kLegacyCodes),
                 queryRows(c, QStringLiteral("select trim('JAZYKOVE_KOMBINACIE'), JEDIN, SKRATKA from"
                                             " JAZYKOVE_KOMBINACIE where SKUPINA = '' and HODNOTENY = 1"
                                             " union all select 'MERNE_JEDNOTKY', JEDIN, SKRATKA"
                                             " from MERNE_JEDNOTKY"))))
        << "JAZYKOVE_KOMBINACIE (SKUPINA '', HODNOTENY 1), MERNE_JEDNOTKY";

    // Columns added later: defaults apply to new rows only.
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from PREKLADY where PM = '' and HODNOTENY is null"
                                       " and HODNOTENIE is null"))
                  .toInt(),
              10);
    EXPECT_EQ(db.scalar(QStringLiteral("select DATUM_PRIJATIA from PREKLADY where JEDIN = 1")).toDateTime(),
              QDateTime(QDate(2008, 6, 2), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(
        queryRows(c, QStringLiteral("select gen_id(JAZYKOVE_KOMBINACIE_ID, 0), gen_id(MERNE_JEDNOTKY_ID, 0),"
                                    " gen_id(PONUKY_ID, 0), gen_id(UZIVATELIA_ID, 0) from rdb$database")),
        QStringList{QStringLiteral("6 | 5 | 22 | 1")});
}

TEST(MigrationTest, ContactsInUseCannotBeDeletedAndTakeTheirRatesWithThem)
{
    TestDatabase db(TestDatabase::Base);
    ASSERT_NO_FATAL_FAILURE(migrateLegacyRows(db));

    struct Case {
        int contact;
        const char* constraint;  // nullptr: the delete succeeds
    };
    for (const Case& k :
         {Case{1, "FK_PREKLADY_OBJEDNAVATEL"}, Case{3, "FK_PREKLADY_PREKLADATEL"}, Case{6, nullptr}}) {
        SCOPED_TRACE(k.contact);
        const QString sql = QStringLiteral("delete from ADRESAR where JEDIN = %1").arg(k.contact);
        if (k.constraint) {
            try {
                db.exec({sql});
                ADD_FAILURE() << "the delete was not refused";
            } catch (const fb::Error& e) {
                EXPECT_TRUE(e.hasCode(fb::codes::ForeignKey)) << e.message().toStdString();
                EXPECT_TRUE(e.message().contains(QLatin1String(k.constraint))) << e.message().toStdString();
            }
        } else {
            EXPECT_NO_THROW(db.exec({sql}));
        }
    }
    EXPECT_EQ(queryRows(db.connection(), QStringLiteral("select JEDIN from ADRESAR where JEDIN in (1, 3, 6)"))
                  .size(),
              2);
    EXPECT_EQ(
        db.scalar(QStringLiteral("select count(*) from KOMBINACIE where ADRESAR = 6 or JEDIN = 7")).toInt(),
        0);
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from KOMBINACIE")).toInt(), 6);
}

// --- server-side logic ------------------------------------------------------------------------------

TEST(MigrationTest, JobTriggerComputesPricesProfitAndFlags)
{
    TestDatabase db(TestDatabase::Migrated);
    struct Case {
        const char* name;
        const char* obj;  // CENA_MJ, KURZ, KOEFICIENT, ROZSAH, FAKTURA
        const char* pre;
        const char* expected;  // OBJ_CENA, OBJ_CENA_SKK, PRE_CENA, PRE_CENA_SKK, ZISK_PERCENTO, flags O P U
    };
    const Case cases[] = {
        {"both prices 0", "0, 1, 100, 10, ''", "0, 1, 100, 10, ''",
         "0.00 | 0.00 | 0.00 | 0.00 | 0.00 | 0 | 0 | 0"},
        {"customer 0", "0, 1, 100, 10, 'F1'", "5, 1, 100, 10, ''",
         "0.00 | 0.00 | 50.00 | 50.00 | -100.00 | 1 | 0 | 0"},
        {"translator 0", "10, 1, 100, 10, ''", "0, 1, 100, 10, 'P1'",
         "100.00 | 100.00 | 0.00 | 0.00 | 100.00 | 0 | 1 | 0"},
        {"100 and 80", "10, 1, 100, 10, 'F1'", "8, 1, 100, 10, 'P1'",
         "100.00 | 100.00 | 80.00 | 80.00 | 20.00 | 1 | 1 | 1"},
        // The home price divides by the rate (units of the currency per euro);
        // the ratio of the stored prices keeps 4 decimals: 8.00 / 14.40 = 0.5555.
        {"rates and coefficients", "30, 25, 120, 10, ''", "100, 25, 100, 2, ''",
         "360.00 | 14.40 | 200.00 | 8.00 | 44.45 | 0 | 0 | 0"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        db.exec(
            {QStringLiteral("delete from PREKLADY"),
             QStringLiteral("insert into PREKLADY (JEDIN, OBJ_CENA_MJ, OBJ_KURZ, OBJ_KOEFICIENT, OBJ_ROZSAH,"
                            " OBJ_FAKTURA, PRE_CENA_MJ, PRE_KURZ, PRE_KOEFICIENT, PRE_ROZSAH, PRE_FAKTURA)"
                            " values (1, %1, %2)")
                 .arg(QLatin1String(k.obj), QLatin1String(k.pre))});
        EXPECT_EQ(
            queryRows(db.connection(),
                      QStringLiteral("select OBJ_CENA, OBJ_CENA_SKK, PRE_CENA, PRE_CENA_SKK, ZISK_PERCENTO,"
                                     " OBJ_UKONCENE, PRE_UKONCENE, UKONCENE from PREKLADY")),
            QStringList{QString::fromUtf8(k.expected)});
    }
    // A rate of 0 has no euro price: the row is refused rather than stored with a wrong one.
    db.exec({QStringLiteral("delete from PREKLADY")});
    EXPECT_THROW(db.exec({QStringLiteral("insert into PREKLADY (JEDIN, OBJ_CENA_MJ, OBJ_KURZ, OBJ_KOEFICIENT,"
                                         " OBJ_ROZSAH) values (2, 10, 0, 100, 1)")}),
                 fb::Error);
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from PREKLADY")).toInt(), 0);
    db.exec(
        {QStringLiteral("insert into PREKLADY (JEDIN, OBJ_CENA_MJ, OBJ_KURZ, OBJ_KOEFICIENT, OBJ_ROZSAH,"
                        " OBJ_FAKTURA, PRE_CENA_MJ, PRE_KURZ, PRE_KOEFICIENT, PRE_ROZSAH, PRE_FAKTURA)"
                        " values (1, 30, 25, 120, 10, '', 100, 25, 100, 2, '')")});
    // An update recomputes too.
    db.exec({QStringLiteral("update PREKLADY set OBJ_FAKTURA = 'F2', PRE_FAKTURA = 'P2', PRE_ROZSAH = 4")});
    EXPECT_EQ(queryRows(db.connection(),
                        QStringLiteral("select PRE_CENA_SKK, ZISK_PERCENTO, UKONCENE from PREKLADY")),
              QStringList{QStringLiteral("16.00 | -11.11 | 1")});
}

TEST(MigrationTest, FullNameJoinsTheNonEmptyParts)
{
    TestDatabase db(TestDatabase::Migrated);
    const QString fifty(50, QLatin1Char('M'));
    struct Case {
        QString meno, adresa, mesto, stat;  // "<null>" stands for NULL
        QString full, search;
    };
    const Case cases[] = {
        {"A", kNull, "", "SK", "A, SK", "A, SK"},
        {"Ďurčeková Ľubica", "Hlavná 1", "Žilina", "Slovensko",
         "Ďurčeková Ľubica, Žilina, Hlavná 1, Slovensko", "DURCEKOVA LUBICA, ZILINA, HLAVNA 1, SLOVENSKO"},
        {"O'Neill Consulting", "", kNull, "Írsko", "O'Neill Consulting, Írsko", "O'NEILL CONSULTING, IRSKO"},
        {kNull, kNull, kNull, kNull, "", ""},
        {fifty, kNull, "Banská Bystrica", kNull, (fifty + ", Banská Bystrica").left(75),
         (fifty + ", BANSKA BYSTRICA").left(75)},
    };
    int id = 0;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.full.toStdString());
        fb::Transaction tr(db.connection(), {QStringLiteral("write")});
        tr.start();
        fb::Query q(tr);
        q.setSql(
            QStringLiteral("insert into ADRESAR (JEDIN, TYP, MENO, ADRESA, MESTO, STAT)"
                           " values (:J, 0, :M, :A, :T, :S) returning NAZOV_UPLNY, NAZOV_UPLNY_X"));
        const auto v = [](const QString& s) { return s == kNull ? QVariant() : QVariant(s); };
        q.setParam(QStringLiteral("J"), ++id);
        q.setParam(QStringLiteral("M"), v(k.meno));
        q.setParam(QStringLiteral("A"), v(k.adresa));
        q.setParam(QStringLiteral("T"), v(k.mesto));
        q.setParam(QStringLiteral("S"), v(k.stat));
        q.execute();
        EXPECT_EQ(q.value(0).toString(), k.full);
        EXPECT_EQ(q.value(1).toString(), k.search);
        tr.commit();
    }
}

// --- the runner -------------------------------------------------------------------------------------

TEST(MigrationTest, VersionNinetyNineGetsOnlyTheMissingOnes)
{
    TestDatabase db(TestDatabase::Base);
    const MemTable package = embeddedPackage();
    DialogTranscript transcript;
    ASSERT_EQ(runPass(db.connection(), package, 99).result, MigrationRunner::PassResult::Completed);
    ASSERT_EQ(version(db), 99);
    ASSERT_EQ(db.scalar(QStringLiteral("select count(*) from UZIVATELIA")).toInt(), 0);

    {
        MigrationRunner runner(db.connection(), package, kSupported);
        ReportThroughDialogs(runner);
        EXPECT_FALSE(runner.UpdateDatabase(101)) << "a gap must not be skipped";
        EXPECT_TRUE(runner.UpdateDatabase(99)) << "an applied script counts as applied";
        EXPECT_EQ(version(db), 99);
    }
    const Pass p = runPass(db.connection(), package);
    EXPECT_EQ(p.result, MigrationRunner::PassResult::Completed);
    EXPECT_EQ(p.lines, passLines(100, kSupported));
    EXPECT_EQ(recordedVersions(db).mid(97), (QStringList{"98", "99", "100", "101", "102", "103"}));
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from UZIVATELIA where JEDIN = 1 and SKRATKA = 'AD'"))
                  .toInt(),
              1);
    EXPECT_EQ(transcript.count(), 0);
}

TEST(MigrationTest, FailedScriptStopsThePassAndTheNextPassResumesThere)
{
    const MemTable good = embeddedPackage();
    const QString trigger = good.value(39, 1).toString();
    ASSERT_TRUE(trigger.contains(QLatin1String("NEW.PRE_CENA_SKK*100")))
        << "script 40 changed; adjust the fault";
    struct Case {
        const char* name;
        QString script;
        bool raised;  // the error translation does not report it: it reaches the caller
    };
    const Case cases[] = {
        // The server refuses the trigger as a failed metadata update, which the translation reports.
        {"trigger refused",
         QString(trigger).replace(QLatin1String("NEW.PRE_CENA_SKK*100"), QLatin1String("NEW.NEEXISTUJE*100")),
         false},
        // A statement the server cannot read is reported with its message, and the pass fails;
        // it is not raised again for a second dialog.
        {"statement refused", QStringLiteral("UPDATE PREKLADY SET NEEXISTUJE=1"), false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TestDatabase db(TestDatabase::Base);
        const MemTable bad = packageWith(40, k.script);
        {
            DialogTranscript transcript;
            MigrationRunner runner(db.connection(), bad, kSupported);
            ReportThroughDialogs(runner);
            QStringList lines;
            runner.addItem = [&lines](const QString& line) { lines << line; };
            if (k.raised)
                EXPECT_THROW(runner.RunPass(), fb::Error);
            else
                EXPECT_EQ(runner.RunPass(), MigrationRunner::PassResult::Failed);
            EXPECT_EQ(lines.mid(2), applyLines(1, 40) + QStringList{kFinished});
            ASSERT_GE(transcript.count(), 2) << "the script, then the error";
            EXPECT_EQ(transcript.requests().first().kind, DialogKind::Plain);
            EXPECT_EQ(transcript.requests().first().text,
                      QStringLiteral("Chyba v príkaze:\r\n\r\n") + k.script);
        }
        EXPECT_EQ(version(db), 39);
        EXPECT_EQ(recordedVersions(db).size(), 39);

        DialogTranscript transcript;
        const Pass p = runPass(db.connection(), good);
        EXPECT_EQ(p.result, MigrationRunner::PassResult::Completed);
        EXPECT_EQ(p.lines.mid(2), applyLines(40, kSupported) + QStringList{kFinished});
        EXPECT_EQ(recordedVersions(db).size(), kSupported);
        EXPECT_EQ(transcript.count(), 0);
    }
}

TEST(MigrationTest, AnotherAttachmentBlocksThePass)
{
    TestDatabase db(TestDatabase::Base);
    const MemTable package = embeddedPackage();
    DialogTranscript transcript;
    auto other = db.openSecond();
    const Pass blocked = runPass(db.connection(), package);
    EXPECT_EQ(blocked.result, MigrationRunner::PassResult::OtherUsers);
    EXPECT_EQ(
        blocked.lines,
        (QStringList{QStringLiteral("Kontrola počtu pripojených užívateľov"),
                     QStringLiteral("CHYBA - Všetci musia ukončiť sprácu s programom."),
                     QStringLiteral("Po ukončení práce, znova zatlačte tlačidlo aktualizácie"), kFinished}));
    EXPECT_EQ(version(db), 0);
    EXPECT_TRUE(recordedVersions(db).isEmpty());

    other->close();
    EXPECT_EQ(runPass(db.connection(), package).result, MigrationRunner::PassResult::Completed);
    EXPECT_EQ(version(db), kSupported);
    EXPECT_EQ(transcript.count(), 0);
}

// --- the window -------------------------------------------------------------------------------------

TEST(UpdateWindowTest, PackageSizeAgainstTheSupportedVersion)
{
    TestDatabase db(TestDatabase::Base);
    struct Case {
        int scripts, supported;
        bool message, usable;
    };
    for (const Case& k : {Case{2, 3, true, false}, Case{3, 2, true, true}, Case{3, 3, false, true}}) {
        SCOPED_TRACE(testing::Message() << k.scripts << " scripts, " << k.supported << " supported");
        DialogTranscript transcript;
        TfrmUpdate window(db.connection(), k.supported, packageBytes(k.scripts));
        EXPECT_EQ(window.packageUsable(), k.usable);
        ASSERT_EQ(transcript.count(), k.message ? 1 : 0);
        if (k.message) {
            EXPECT_EQ(transcript.last().kind, DialogKind::Red);
            EXPECT_EQ(transcript.last().type, msg::Error);
            EXPECT_EQ(transcript.last().text,
                      QStringLiteral(
                          "Chyba v \"update resource\"! (ResCount=%1 ; V3=%2).\r\n\r\nProgram bude ukončený.")
                          .arg(k.scripts)
                          .arg(k.supported));
        }
    }
}

TEST(UpdateWindowTest, ButtonBringsVersionZeroUpAndClosesTheWindow)
{
    TestDatabase db(TestDatabase::Base);
    DialogTranscript transcript;
    TfrmUpdate window(db.connection(), kSupported);
    ASSERT_TRUE(window.packageUsable());
    QStringList shown;
    onNextModal([&shown](QWidget* w) {
        auto* button = w->findChild<QPushButton*>(QStringLiteral("btnGo"));
        ASSERT_NE(button, nullptr);
        button->click();
        auto* lb = w->findChild<QListWidget*>(QStringLiteral("lb"));
        for (int i = 0; lb && i < lb->count(); ++i)
            shown << lb->item(i)->text();
    });
    EXPECT_EQ(window.exec(), QDialog::Accepted);
    EXPECT_EQ(version(db), kSupported);
    EXPECT_EQ(shown.size(), 2 + kSupported + 1);
    EXPECT_EQ(shown.value(shown.size() - 1), kFinished);
    EXPECT_EQ(transcript.count(), 0);
}

// --- sample data ------------------------------------------------------------------------------------

TEST(SampleDataTest, SameSizeGivesTheSameAgency)
{
    TestDatabase a(TestDatabase::Migrated), b(TestDatabase::Migrated), other(TestDatabase::Migrated);
    const SampleCounts n = FillSampleData(a.connection(), 200);
    FillSampleData(b.connection(), 200);
    FillSampleData(other.connection(), 200, kSampleRandomStart + 1);
    // The generator is deterministic: these numbers hold on every build and
    // library version; a change means the sample agency changed.
    EXPECT_EQ(n.jobs, 200);
    EXPECT_EQ(n.users, 4);
    EXPECT_EQ(n.units, 5);
    EXPECT_EQ(n.combinations, 44);
    EXPECT_EQ(n.contacts, 500);
    EXPECT_EQ(n.rates, 434);

    const QString sums =
        QStringLiteral("select count(*), sum(OBJ_CENA_SKK), sum(PRE_CENA_SKK) from PREKLADY");
    const QString contacts =
        QStringLiteral("select JEDIN, TYP, MENO, NAZOV_UPLNY from ADRESAR order by JEDIN");
    EXPECT_EQ(queryRows(a.connection(), sums), QStringList{QStringLiteral("200 | 90848.56 | 45715.94")});
    EXPECT_EQ(queryRows(a.connection(), sums), queryRows(b.connection(), sums));
    EXPECT_EQ(queryRows(a.connection(), contacts), queryRows(b.connection(), contacts));
    EXPECT_NE(queryRows(a.connection(), sums), queryRows(other.connection(), sums));
    EXPECT_EQ(a.scalar(QStringLiteral("select count(*) from PREKLADY")).toInt(), 200);

    // What the windows rely on: customers order, translators translate, the
    // dates follow one another, and only sent jobs are invoiced.
    const QString faults = QStringLiteral(
        "select count(*) from PREKLADY p"
        " join ADRESAR o on o.JEDIN = p.OBJEDNAVATEL"
        " left join ADRESAR t on t.JEDIN = p.PREKLADATEL"
        " where o.TYP <> 0 or t.TYP <> 1"
        " or p.DATUM_PRIJATIA < timestamp '2016-12-01 00:00' or p.DATUM_PRIJATIA >= timestamp '2026-12-01 "
        "00:00'"
        " or p.TERMIN <= p.DATUM_PRIJATIA"
        " or p.DATUM_ZADANIA_PREKLADATELOVI < cast(p.DATUM_PRIJATIA as date)"
        " or p.DATUM_DODANIA_PREKLADU < p.DATUM_ZADANIA_PREKLADATELOVI"
        " or p.DATUM_ODOSLANIA_PREKLADU < p.DATUM_DODANIA_PREKLADU"
        " or (p.DATUM_ODOSLANIA_PREKLADU is null and p.OBJ_FAKTURA <> '')"
        " or p.JAZYKOVA_KOMBINACIA is null or p.OBJ_MJ is null or p.PRE_MJ is null"
        " or p.PM not in ('', 'AD', 'JN', 'MK', 'ZD', 'PO')"
        " or p.HODNOTENIE not between 50 and 100");
    EXPECT_EQ(a.scalar(faults).toInt(), 0);
    EXPECT_EQ(a.scalar(QStringLiteral("select count(*) from PREKLADY where OBJ_FAKTURA = ''")).toInt(), 5);
    // A user logs in with the password SampleUserPasswords() names: "jana" for record 2.
    EXPECT_EQ(queryRows(a.connection(),
                        QStringLiteral("select JEDIN, SKRATKA, HESLO from UZIVATELIA where JEDIN = 2")),
              QStringList{QStringLiteral("2 | JN | E68E5573A95D42C96DF2A24FB56DC273C52A08DC")});
}

TEST(SampleDataTest, LegacyAgencyMigratesCompletely)
{
    TestDatabase db(TestDatabase::Base);
    const SampleCounts n = FillLegacySample(db.connection(), 300);
    EXPECT_EQ(n.jobs, 300);
    EXPECT_EQ(n.contacts, 500);
    EXPECT_EQ(n.rates, 434);
    const MemTable package = embeddedPackage();
    DialogTranscript transcript;
    EXPECT_EQ(runPass(db.connection(), package).result, MigrationRunner::PassResult::Completed);
    EXPECT_EQ(transcript.count(), 0);
    EXPECT_EQ(version(db), kSupported);
    // Every text combination and unit found its code.
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from PREKLADY where JAZYKOVA_KOMBINACIA is null"
                                       " or OBJ_MJ is null or PRE_MJ is null or OBJ_CENA_SKK is null"))
                  .toInt(),
              0);
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from KOMBINACIE where JAZYKOVA_KOMBINACIA is null"
                                       " or MJ is null"))
                  .toInt(),
              0);
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from JAZYKOVE_KOMBINACIE")).toInt(), 44);
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from MERNE_JEDNOTKY")).toInt(), 5);
}
