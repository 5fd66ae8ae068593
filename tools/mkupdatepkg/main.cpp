// mkupdatepkg <migrations-dir> <output.zlib> [--xml <output.xml>]
//
// Packs the numbered migration scripts 001.sql ... NNN.sql (UTF-8, one SQL
// statement each) into the update package the program carries: a datapacket XML
// text (WIN1250, CR LF) with one row per script, the script text in Base64,
// compressed as a zlib stream.

#include "fb/Win1250.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>

#include <zlib.h>

#include <cstdio>
#include <optional>

namespace {

void printError(const QString& message)
{
    std::fprintf(stderr, "mkupdatepkg: %s\n", qPrintable(message));
}

// Script text as the database gets it: WIN1250 bytes with CR LF line ends and no
// line break after the statement.
std::optional<QByteArray> scriptBytes(const QString& fileName, const QByteArray& raw)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(raw);
    if (decoder.hasError()) {
        printError(QStringLiteral("%1 is not valid UTF-8").arg(fileName));
        return std::nullopt;
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    while (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    if (text.trimmed().isEmpty()) {
        // An empty script would stop every migration at this version.
        printError(QStringLiteral("%1 is empty").arg(fileName));
        return std::nullopt;
    }
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));

    QByteArray bytes;
    QString bad;
    if (!text::toWin1250(text, bytes, &bad)) {
        const qsizetype at = text.indexOf(bad);
        const qsizetype line = text.left(at).count(u'\n') + 1;
        printError(QStringLiteral("%1, line %2: the character \"%3\" (U+%4) cannot be written in WIN1250")
                       .arg(fileName)
                       .arg(line)
                       .arg(bad)
                       .arg(bad.toUcs4().value(0), 4, 16, QLatin1Char('0')));
        return std::nullopt;
    }
    return bytes;
}

// Reads 001.sql ... NNN.sql; the numbers must run from 1 without a gap.
std::optional<QList<QByteArray>> readScripts(const QString& dirPath)
{
    const QDir dir(dirPath);
    if (!dir.exists()) {
        printError(QStringLiteral("the folder %1 does not exist").arg(dirPath));
        return std::nullopt;
    }
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{3,})\\.sql$"),
                                            QRegularExpression::CaseInsensitiveOption);
    QMap<int, QString> byNumber;
    for (const QString& name : dir.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name)) {
        const QRegularExpressionMatch m = pattern.match(name);
        bool ok = false;
        const int number = m.hasMatch() ? m.captured(1).toInt(&ok) : 0;
        if (!ok || number < 1) {
            printError(QStringLiteral("%1: a script is named by its number, from 001.sql").arg(name));
            return std::nullopt;
        }
        if (byNumber.contains(number)) {
            printError(
                QStringLiteral("%1 and %2 both hold script %3").arg(byNumber[number], name).arg(number));
            return std::nullopt;
        }
        byNumber.insert(number, name);
    }

    QList<QByteArray> scripts;
    int expected = 1;
    for (auto it = byNumber.cbegin(); it != byNumber.cend(); ++it, ++expected) {
        if (it.key() != expected) {
            printError(QStringLiteral("script %1 is missing (the next one is %2)")
                           .arg(expected, 3, 10, QLatin1Char('0'))
                           .arg(it.value()));
            return std::nullopt;
        }
        QFile file(dir.filePath(it.value()));
        if (!file.open(QIODevice::ReadOnly)) {
            printError(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
            return std::nullopt;
        }
        const auto bytes = scriptBytes(it.value(), file.readAll());
        if (!bytes)
            return std::nullopt;
        scripts.append(*bytes);
    }
    return scripts;
}

QByteArray packageXml(const QList<QByteArray>& scripts)
{
    QByteArray xml;
    const auto line = [&xml](const QByteArray& text) { xml += text + "\r\n"; };
    line(R"(<?xml version="1.0" standalone="yes"?>)");
    line(R"(<datapacket version="2.000" destination="" day="25" month="6" year="2015" hour="8" min="44" )"
         R"(sec="29" msec="412">)");
    line(R"(  <metadata fielddefs="yes" indexdefs="no" recorddata="yes" changes="yes">)");
    line(R"(    <fielddefs count="2">)");
    line(
        R"(      <fielddef name="VERSION_NUMBER" fieldkind="data" datatype="integer" fieldsize="0" )"
        R"(displaylabel="" editmask="" displaywidth="10" fieldindex="0" required="true" readonly="false"/>)");
    line(
        R"(      <fielddef name="LONG_SCRIPT" fieldkind="data" datatype="memo" fieldsize="8" )"
        R"(displaylabel="" editmask="" displaywidth="10" fieldindex="1" required="false" readonly="false"/>)");
    line(R"(    </fielddefs>)");
    line(R"(    <indexdefs count="0">)");
    line(R"(    </indexdefs>)");
    line(R"(  </metadata>)");
    line(R"(  <recorddata count=")" + QByteArray::number(scripts.size()) + R"(">)");
    for (qsizetype i = 0; i < scripts.size(); ++i) {
        const QByteArray& script = scripts[i];
        const QByteArray base64 = script.toBase64();
        QByteArrayList lines;
        for (qsizetype at = 0; at < base64.size(); at += 76)
            lines.append(base64.mid(at, 76));
        line(R"(    <row>)");
        line(R"(      <field name="VERSION_NUMBER" value=")" + QByteArray::number(i + 1) + R"("/>)");
        line(R"(      <field name="LONG_SCRIPT" size=")" + QByteArray::number(script.size()) +
             R"("><![CDATA[)" + lines.join("\r\n") + "]]></field>");
        line(R"(    </row>)");
    }
    line(R"(  </recorddata>)");
    line(R"(</datapacket>)");
    return xml;
}

std::optional<QByteArray> compressZlib(const QByteArray& data)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(data.constData()), uLong(data.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return std::nullopt;
    out.truncate(qsizetype(size));
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    printError(QStringLiteral("%1: %2").arg(path, file.errorString()));
    return false;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString xmlPath;
    if (const qsizetype at = args.indexOf(QStringLiteral("--xml")); at >= 0 && at + 1 < args.size()) {
        xmlPath = args.takeAt(at + 1);
        args.removeAt(at);
    }
    if (args.size() != 2 || args.contains(QStringLiteral("--xml"))) {
        std::fprintf(stderr, "usage: mkupdatepkg <migrations-dir> <output.zlib> [--xml <output.xml>]\n");
        return 2;
    }

    const auto scripts = readScripts(args[0]);
    if (!scripts)
        return 1;
    const QByteArray xml = packageXml(*scripts);
    const auto compressed = compressZlib(xml);
    if (!compressed) {
        printError(QStringLiteral("zlib could not compress the package"));
        return 1;
    }
    if (!xmlPath.isEmpty() && !writeFile(xmlPath, xml))
        return 1;
    return writeFile(args[1], *compressed) ? 0 : 1;
}
