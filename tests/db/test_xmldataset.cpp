#include "db/MemTable.h"
#include "db/UpdatePackage.h"
#include "db/XMLDataset.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zlib.h>

// Readable failure messages.
void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

const QString kNull = QStringLiteral("<null>");

QByteArray compress(const QByteArray& data)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.constData()),
              uLong(data.size()), Z_BEST_COMPRESSION);
    out.truncate(qsizetype(size));
    return out;
}

// LONG_SCRIPT of every row, kNull standing for null.
QStringList scripts(MemTable& table)
{
    QStringList out;
    for (bool more = table.first(); more; more = table.next())
        out << (table.isNull("LONG_SCRIPT") ? kNull : table.text("LONG_SCRIPT"));
    return out;
}

// --- packets written by hand, in the builder's layout -------------------------------------------------

const QByteArray kFieldDefs =
    R"(<fielddef name="VERSION_NUMBER" fieldkind="data" datatype="integer" fieldsize="0" displaylabel="" )"
    R"(editmask="" displaywidth="10" fieldindex="0" required="true" readonly="false"/>)"
    "\r\n"
    R"(<fielddef name="LONG_SCRIPT" fieldkind="data" datatype="memo" fieldsize="8" displaylabel="" )"
    R"(editmask="" displaywidth="10" fieldindex="1" required="false" readonly="false"/>)";

struct Packet {
    QByteArray version = "2.000";
    QByteArray fieldDefs = kFieldDefs;
    QByteArray count = "2";
    QByteArray rows;

    QByteArray bytes() const
    {
        return R"(<?xml version="1.0" standalone="yes"?>)"
               "\r\n<datapacket version=\"" +
               version +
               R"(" destination="" day="25" month="6" year="2015" hour="8" min="44" sec="29" msec="412">)"
               R"(<metadata fielddefs="yes" indexdefs="no" recorddata="yes" changes="yes"><fielddefs count="2">)" +
               fieldDefs + R"(</fielddefs><indexdefs count="0"></indexdefs></metadata><recorddata count=")" +
               count + "\">\r\n" + rows + "</recorddata></datapacket>\r\n";
    }
};

QByteArray row(const QByteArray& fields)
{
    return "<row>" + fields + "</row>\r\n";
}

QByteArray number(int n)
{
    return R"(<field name="VERSION_NUMBER" value=")" + QByteArray::number(n) + R"("/>)";
}

QByteArray cdata(const QByteArray& bytes, qsizetype size)
{
    return R"(<field name="LONG_SCRIPT" size=")" + QByteArray::number(size) + R"("><![CDATA[)" +
           bytes.toBase64() + "]]></field>";
}

// A row of script n whose text is the given WIN1250 bytes.
QByteArray script(int n, const QByteArray& bytes)
{
    return row(number(n) + cdata(bytes, bytes.size()));
}

QByteArray upperTags(QByteArray packet)
{
    for (const char* tag : {"<datapacket", "</datapacket>", "<metadata", "</metadata>", "<fielddefs",
                            "</fielddefs>", "<fielddef", "<indexdefs", "</indexdefs>", "<recorddata",
                            "</recorddata>", "<row>", "</row>", "<field", "</field>"})
        packet.replace(tag, QByteArray(tag).toUpper());
    return packet.replace("<![CDATA[", "<![cdata[");
}

struct ReaderCase {
    const char* name;
    QByteArray packet;
    QString error;  // empty: the load succeeds
    QStringList scripts;
    int fields = 2;
};

QList<ReaderCase> readerCases()
{
    const QByteArray two = script(1, "select 1") + script(2, "select 2");
    const QByteArray three = two + script(3, "select 3");
    const QStringList first = {"select 1"};
    const QString tooFew = QStringLiteral("Insufficient number of parameters");
    QByteArray manyDefs = kFieldDefs;
    for (int i = 0; i < 255; ++i)
        manyDefs += R"(<fielddef name="F)" + QByteArray::number(i) + R"(" datatype="integer"/>)";
    const QByteArray valid = Packet{.rows = two}.bytes();

    return {
        {"memo bytes are WIN1250",
         Packet{.rows = script(1, "\x8a\x9d\xbe ko\x9a") + script(2, "'a'\r\nb")}.bytes(),
         "",
         {"Šťľ koš", "'a'\r\nb"}},
        {"newer version loads nothing",
         Packet{.version = "2.001", .rows = two}.bytes(),
         "Incompatible file verion",
         {},
         0},
        {"older version loads",
         Packet{.version = "1.000", .rows = two}.bytes(),
         "",
         {"select 1", "select 2"}},
        {"size 0 is empty, size -1 null",
         Packet{.rows = row(number(1) + cdata("", 0)) +
                        row(number(2) + R"(<field name="LONG_SCRIPT" size="-1"/>)")}
             .bytes(),
         "",
         {"", kNull}},
        {"tags in any letter case", upperTags(valid), "", {"select 1", "select 2"}},
        {"count 0 accepts any number of rows",
         Packet{.count = "0", .rows = three}.bytes(),
         "",
         {"select 1", "select 2", "select 3"}},
        {"count above the rows read",
         Packet{.count = "3", .rows = two}.bytes(),
         "Insufficient Record Count Received",
         {"select 1", "select 2"}},
        {"count below the rows read",
         Packet{.count = "2", .rows = three}.bytes(),
         "Insufficient Record Count Received",
         {"select 1", "select 2", "select 3"}},
        {"decoded length differs from size",
         Packet{.rows = script(1, "select 1") + row(number(2) + cdata("abc", 4))}.bytes(),
         "Unexpected CDATA Size", first},
        {"size without CDATA",
         Packet{.rows = script(1, "select 1") + row(number(2) + R"(<field name="LONG_SCRIPT" size="3"/>)")}
             .bytes(),
         "Unexpected CDATA Size", first},
        {"field with one attribute",
         Packet{.rows = script(1, "select 1") + row(number(2) + R"(<field name="LONG_SCRIPT"/>)")}.bytes(),
         tooFew, first},
        {"field with three attributes",
         Packet{.rows = script(1, "select 1") +
                        row(number(2) + R"(<field name="LONG_SCRIPT" value="" size="0"/>)")}
             .bytes(),
         tooFew, first},
        {"unexpected attribute names",
         Packet{.rows = script(1, "select 1") + row(number(2) + R"(<field name="LONG_SCRIPT" text="x"/>)")}
             .bytes(),
         "Unexpected parameter(s)", first},
        {"values taken as written, Base64 across lines",
         Packet{.rows = row(number(1) + R"(<field name="LONG_SCRIPT" value="a &amp; b"/>)") +
                        row(number(2) + R"(<field name="LONG_SCRIPT" size="3"><![CDATA[Y2
 !Fi]]></field>)")}
             .bytes(),
         "",
         {"a &amp; b", "cab"}},
        {"text ends at the first NUL", valid + QByteArray("\0<datapacket", 12), "", {"select 1", "select 2"}},
        {"a cut packet is an error, not an empty table",
         valid.left(valid.indexOf("</row>")),
         "No </datapacket> after <datapacket",
         {},
         0},
        {"a row without its end",
         Packet{.rows = script(1, "select 1") + "<row>" + number(2) + cdata("a", 1)}.bytes(),
         "No </row> after <row>", first},
        {"not a number in an integer field",
         Packet{.rows = row(R"(<field name="VERSION_NUMBER" value="1x"/>)")}.bytes(),
         "'1x' is not a valid value for field 'VERSION_NUMBER'",
         {}},
        {"unknown field",
         Packet{.rows = script(1, "select 1") + row(number(2) + R"(<field name="X" value="1"/>)")}.bytes(),
         "Field 'X' not found", first},
        {"row without its number",
         Packet{.rows = row(cdata("select 1", 8))}.bytes(),
         "Field 'VERSION_NUMBER' must have a value",
         {}},
        {"more than 256 fields",
         Packet{.fieldDefs = manyDefs, .rows = two}.bytes(),
         "Too many field definitions (more than 256)",
         {},
         256},
        {"garbage", QByteArray("\x78\x9c garbage <row> </row>"), "Data packet not found", {}, 0},
        {"empty input", QByteArray(), "Data packet not found", {}, 0},
    };
}

TEST(XMLDatasetTest, LoadsOrFailsAsExpected)
{
    for (const ReaderCase& c : readerCases()) {
        SCOPED_TRACE(c.name);
        MemTable table;
        TXMLDataset reader(&table);
        EXPECT_EQ(reader.loadFromBytes(c.packet), c.error.isEmpty());
        EXPECT_EQ(reader.lastError(), c.error);
        EXPECT_EQ(scripts(table), c.scripts);
        EXPECT_EQ(table.fieldCount(), c.fields);
        EXPECT_FALSE(table.isEditing());
    }
}

TEST(XMLDatasetTest, ReloadShowsOnlyTheNewPacket)
{
    MemTable table;
    TXMLDataset reader(&table);
    ASSERT_TRUE(reader.loadFromBytes(Packet{.rows = script(1, "a") + script(2, "b")}.bytes()));
    EXPECT_FALSE(reader.loadFromBytes(Packet{.version = "3", .rows = script(1, "c")}.bytes()));
    EXPECT_EQ(table.recordCount(), 0);
}

TEST(XMLDatasetTest, WithoutTableOrStreamFails)
{
    TXMLDataset reader;
    EXPECT_FALSE(reader.loadFromBytes(Packet{}.bytes()));
    EXPECT_EQ(reader.lastError(), "Dataset not assigned");

    MemTable table;
    reader.setDataSet(&table);
    EXPECT_FALSE(reader.loadFromStream(nullptr));
    EXPECT_EQ(reader.lastError(), "Dataset not assigned");

    QByteArray bytes = Packet{.rows = script(1, "a") + script(2, "b")}.bytes();
    QBuffer buffer(&bytes);
    EXPECT_TRUE(reader.loadFromStream(&buffer));
    EXPECT_EQ(table.recordCount(), 2);
}

TEST(InflateTest, DamagedStreamsFailCleanly)
{
    const QByteArray xml = Packet{.rows = script(1, "select 1") + script(2, "select 2")}.bytes();
    const QByteArray good = compress(xml);
    QByteArray badChecksum = good;
    badChecksum[badChecksum.size() - 1] = char(badChecksum.back() ^ 1);

    ASSERT_EQ(inflateZlib(good), xml);
    const struct {
        const char* name;
        QByteArray bytes;
    } damaged[] = {
        {"empty", {}},
        {"checksum cut", good.chopped(1)},
        {"half", good.left(good.size() / 2)},
        {"header only", good.left(2)},
        {"wrong checksum", badChecksum},
        {"not zlib", "<datapacket version=\"2.000\">"},
    };
    for (const auto& c : damaged) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(inflateZlib(c.bytes), std::nullopt);
        MemTable table;
        QString error;
        EXPECT_FALSE(loadUpdatePackage(c.bytes, table, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(table.recordCount(), 0);
    }
}

// --- the package builder ------------------------------------------------------------------------------

struct Built {
    int exitCode = -1;
    QString errors;
    QByteArray package;  // compressed
    QByteArray xml;
};

// Runs mkupdatepkg over a folder holding the given files (name -> bytes).
Built runBuilder(const QList<std::pair<QString, QByteArray>>& files)
{
    QTemporaryDir dir;
    const QString scripts = dir.filePath("migrations");
    QDir().mkpath(scripts);
    for (const auto& [name, bytes] : files) {
        QFile f(scripts + "/" + name);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    QProcess builder;
    builder.start(LINDAVO_MKUPDATEPKG,
                  {scripts, dir.filePath("UPDATEZLIB"), "--xml", dir.filePath("UPDATEZLIB.xml")});
    builder.waitForFinished();
    Built out;
    out.exitCode = builder.exitStatus() == QProcess::NormalExit ? builder.exitCode() : -1;
    out.errors = QString::fromLocal8Bit(builder.readAllStandardError());
    QFile package(dir.filePath("UPDATEZLIB")), xml(dir.filePath("UPDATEZLIB.xml"));
    if (package.open(QIODevice::ReadOnly))
        out.package = package.readAll();
    if (xml.open(QIODevice::ReadOnly))
        out.xml = xml.readAll();
    return out;
}

// The CDATA sections of a package, each split into its lines.
QList<QByteArrayList> cdataLines(const QByteArray& xml)
{
    QList<QByteArrayList> out;
    for (qsizetype at = xml.indexOf("<![CDATA["); at >= 0; at = xml.indexOf("<![CDATA[", at + 1)) {
        const qsizetype from = at + 9;
        out.append(xml.mid(from, xml.indexOf("]]>", from) - from).split('\n'));
        for (QByteArray& line : out.last())
            if (line.endsWith('\r'))
                line.chop(1);
    }
    return out;
}

QString fileName(int n)
{
    return QStringLiteral("%1.sql").arg(n, 3, 10, QLatin1Char('0'));
}

TEST(PackageBuilderTest, ScriptsComeBackUnchanged)
{
    // Source text as written (UTF-8) and the text the program must read back.
    const QList<std::pair<QString, QString>> texts = {
        {"alter table PREKLADY drop PRE_SPOSOB_PLATBY;\n", "alter table PREKLADY drop PRE_SPOSOB_PLATBY;"},
        {"UPDATE OR INSERT INTO UZIVATELIA (JEDIN, MENO)\nVALUES (1, 'Správca');\n\n",
         "UPDATE OR INSERT INTO UZIVATELIA (JEDIN, MENO)\r\nVALUES (1, 'Správca');"},
        {"insert into PONUKY (TEXT) values ('O''Brien');\r\nselect 'ľščťžýáíéúäňô ĽŠČŤŽÝÁÍÉÚÄŇÔ €' from X",
         "insert into PONUKY (TEXT) values ('O''Brien');\r\nselect 'ľščťžýáíéúäňô ĽŠČŤŽÝÁÍÉÚÄŇÔ €' from X"},
        // 57 bytes fill exactly one Base64 line of 76 characters; 58 start a second one.
        {"select '" + QString(30, u'ž') + "' from rdb$database",
         "select '" + QString(30, u'ž') + "' from rdb$database"},
        {"select '" + QString(31, u'ž') + "' from rdb$database",
         "select '" + QString(31, u'ž') + "' from rdb$database"},
        {QString("set term ^;\n").repeated(100) + "x", QString("set term ^;\r\n").repeated(100) + "x"},
    };
    ASSERT_EQ(QString("select '" + QString(30, u'ž') + "' from rdb$database").size(), 57);

    QList<std::pair<QString, QByteArray>> files;
    for (int i = 0; i < texts.size(); ++i)
        files.append({fileName(i + 1), texts[i].first.toUtf8()});
    const Built built = runBuilder(files);
    ASSERT_EQ(built.exitCode, 0) << built.errors.toStdString();
    EXPECT_EQ(inflateZlib(built.package), built.xml);

    // The fixed part of the layout, byte for byte.
    const QByteArray head =
        "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n"
        "<datapacket version=\"2.000\" destination=\"\" day=\"25\" month=\"6\" year=\"2015\" hour=\"8\" "
        "min=\"44\" "
        "sec=\"29\" msec=\"412\">\r\n"
        "  <metadata fielddefs=\"yes\" indexdefs=\"no\" recorddata=\"yes\" changes=\"yes\">\r\n"
        "    <fielddefs count=\"2\">\r\n"
        "      <fielddef name=\"VERSION_NUMBER\" fieldkind=\"data\" datatype=\"integer\" fieldsize=\"0\" "
        "displaylabel=\"\" editmask=\"\" displaywidth=\"10\" fieldindex=\"0\" required=\"true\" "
        "readonly=\"false\"/>\r\n"
        "      <fielddef name=\"LONG_SCRIPT\" fieldkind=\"data\" datatype=\"memo\" fieldsize=\"8\" "
        "displaylabel=\"\" editmask=\"\" displaywidth=\"10\" fieldindex=\"1\" required=\"false\" "
        "readonly=\"false\"/>\r\n"
        "    </fielddefs>\r\n"
        "    <indexdefs count=\"0\">\r\n"
        "    </indexdefs>\r\n"
        "  </metadata>\r\n"
        "  <recorddata count=\"6\">\r\n"
        "    <row>\r\n"
        "      <field name=\"VERSION_NUMBER\" value=\"1\"/>\r\n"
        "      <field name=\"LONG_SCRIPT\" size=\"44\"><![CDATA[";
    EXPECT_EQ(built.xml.left(head.size()), head);
    EXPECT_TRUE(built.xml.endsWith("    </row>\r\n  </recorddata>\r\n</datapacket>\r\n"));
    const QByteArray unbroken = QByteArray(built.xml).replace("\r\n", "");
    EXPECT_FALSE(unbroken.contains('\n') || unbroken.contains('\r')) << "every line ends with CR LF";
    // Base64 in lines of 76 characters: 57 bytes make exactly one full line.
    const QList<QByteArrayList> base64 = cdataLines(built.xml);
    ASSERT_EQ(base64.size(), texts.size());
    for (const QByteArrayList& lines : base64) {
        for (qsizetype i = 0; i + 1 < lines.size(); ++i)
            EXPECT_EQ(lines[i].size(), 76);
        EXPECT_TRUE(lines.last().size() >= 1 && lines.last().size() <= 76);
    }
    EXPECT_EQ(base64[3].size(), 1);
    EXPECT_EQ(base64[4].size(), 2);

    MemTable table;
    TXMLDataset reader(&table);
    ASSERT_TRUE(reader.loadFromBytes(built.xml)) << reader.lastError().toStdString();
    EXPECT_EQ(reader.packetVersion(), 2.0);
    EXPECT_EQ(reader.packetTime(), QDateTime(QDate(2015, 6, 25), QTime(8, 44, 29, 412)));
    EXPECT_EQ(reader.fieldDefCount(), 2);
    EXPECT_EQ(reader.indexDefCount(), 0);
    EXPECT_EQ(reader.recordCount(), 6);
    EXPECT_TRUE(reader.hasFieldDefs() && reader.hasRecordData() && reader.hasChanges());
    EXPECT_FALSE(reader.hasIndexDefs());

    ASSERT_EQ(table.fieldCount(), 2);
    EXPECT_EQ(table.field(0).name, "VERSION_NUMBER");
    EXPECT_EQ(table.field(0).dataType, "integer");
    EXPECT_TRUE(table.field(0).required);
    EXPECT_EQ(table.field(1).name, "LONG_SCRIPT");
    EXPECT_EQ(table.field(1).dataType, "memo");
    EXPECT_EQ(table.field(1).size, 8);
    EXPECT_FALSE(table.field(1).required);

    ASSERT_EQ(table.recordCount(), texts.size());
    int n = 0;
    for (bool more = table.first(); more; more = table.next(), ++n) {
        SCOPED_TRACE(n + 1);
        EXPECT_EQ(table.value("VERSION_NUMBER"), QVariant(n + 1));
        EXPECT_EQ(table.text("LONG_SCRIPT"), texts[n].second);
    }
}

TEST(PackageBuilderTest, EmptyFolderGivesAnEmptyPackage)
{
    const Built built = runBuilder({});
    ASSERT_EQ(built.exitCode, 0) << built.errors.toStdString();
    MemTable table;
    QString error;
    EXPECT_TRUE(loadUpdatePackage(built.package, table, &error)) << error.toStdString();
    EXPECT_EQ(table.recordCount(), 0);
    EXPECT_EQ(table.fieldCount(), 2);
}

TEST(PackageBuilderTest, RefusesBadScripts)
{
    const struct {
        const char* name;
        QList<std::pair<QString, QByteArray>> files;
        QString message;
    } cases[] = {
        {"gap",
         {{"001.sql", "select 1"}, {"003.sql", "select 3"}},
         "script 002 is missing (the next one is 003.sql)"},
        {"not from 1", {{"002.sql", "select 2"}}, "script 001 is missing"},
        {"two files, one number", {{"001.sql", "select 1"}, {"0001.sql", "select 1"}}, "both hold script 1"},
        {"not a number",
         {{"001.sql", "select 1"}, {"002_fix.sql", "select 2"}},
         "002_fix.sql: a script is named"},
        {"not in WIN1250", {{"001.sql", "select 1\nfrom '\xe4\xb8\xad'"}}, "001.sql, line 2: the character"},
        {"not UTF-8", {{"001.sql", "select '\xff'"}}, "001.sql is not valid UTF-8"},
        {"empty", {{"001.sql", "\r\n"}}, "001.sql is empty"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Built built = runBuilder(c.files);
        EXPECT_EQ(built.exitCode, 1);
        EXPECT_TRUE(built.errors.contains(c.message)) << built.errors.toStdString();
        EXPECT_TRUE(built.package.isEmpty());
    }
}

// The package compiled into the program holds every script of src/db/migrations, in order.
TEST(UpdatePackageTest, EmbeddedPackageHoldsTheMigrations)
{
    const int files = int(QDir(LINDAVO_MIGRATIONS_DIR).entryList({"*.sql"}, QDir::Files).size());
    MemTable table;
    QString error;
    ASSERT_TRUE(loadUpdatePackage(table, &error)) << error.toStdString();
    ASSERT_EQ(table.recordCount(), files);
    int n = 0;
    for (bool more = table.first(); more; more = table.next())
        EXPECT_EQ(table.value("VERSION_NUMBER"), QVariant(++n));
}

}  // namespace
