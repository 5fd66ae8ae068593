#include "framework/Messages.h"

#include "framework/TextHelpers.h"

#include <QFile>
#include <QHash>

namespace {

// Undoes the escapes of the message file: \r \n \t \" \\.
QString unescape(QStringView quoted)
{
    QString out;
    out.reserve(quoted.size());
    for (qsizetype i = 0; i < quoted.size(); ++i) {
        const QChar c = quoted[i];
        if (c != QLatin1Char('\\') || i + 1 == quoted.size()) {
            out += c;
            continue;
        }
        const QChar e = quoted[++i];
        if (e == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else if (e == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (e == QLatin1Char('t'))
            out += QLatin1Char('\t');
        else
            out += e;  // \" and \\ (and anything else) stand for the character itself
    }
    return out;
}

QHash<QString, QString> loadTable()
{
    QHash<QString, QString> table;
    QFile file(QStringLiteral(":/messages/messages.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return table;
    const QString content = QString::fromUtf8(file.readAll());
    for (QStringView line : QStringView(content).split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString name = line.left(eq).trimmed().toString().toUpper();
        QStringView value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        table.insert(name, unescape(value));
    }
    return table;
}

const QHash<QString, QString>& messageTable()
{
    static const QHash<QString, QString> table = loadTable();
    return table;
}

const QString crlf = QStringLiteral("\r\n");

int messageDlg(DialogKind kind, const QString& text, int type, const QList<int>& buttons, int helpContext,
               int defaultResult)
{
    DialogRequest request;
    request.kind = kind;
    request.type = type;
    request.caption = dialogCaption(type);
    request.text = text;
    request.buttons = buttons;
    request.defaultResult = defaultResult;
    request.helpContext = helpContext;
    return showDialog(request);
}

}  // namespace

QString LoadMessageText(const QString& name)
{
    return messageTable().value(name.trimmed().toUpper());
}

QString FormatMessageText(const QString& text, std::initializer_list<qint64> numbers)
{
    QString out;
    auto next = numbers.begin();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('%') && i + 1 < text.size()) {
            if (text[i + 1] == QLatin1Char('d')) {
                out += next != numbers.end() ? QString::number(*next++) : QString();
                ++i;
                continue;
            }
            if (text[i + 1] == QLatin1Char('%')) {
                out += QLatin1Char('%');
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

int ErrMessage(int n, int type)
{
    const QString text = QStringLiteral("Hlásenie #") + QString::number(n) + crlf + crlf +
                         LoadMessageText(QStringLiteral("ERR") + QString::number(n));
    return messageDlg(DialogKind::Standard, text, type, {msg::OK}, 0, msg::OK);
}

int DbErrMessage(long code, int type, const QString& extra)
{
    QString text = QStringLiteral("Hlásenie #") + QString::number(code) + crlf;
    text += LoadMessageText(QStringLiteral("IBERR") + QString::number(code)) + crlf;
    if (!IsBlank(extra, true))
        text += extra + crlf;
    return RedMessageDlg(text, type, {msg::OK}, 0, msg::OK);
}

int MessageDlg(const QString& text, int type, const QList<int>& buttons, int helpContext, int defaultResult)
{
    return messageDlg(DialogKind::Standard, text, type, buttons, helpContext, defaultResult);
}

int RedMessageDlg(const QString& text, int type, const QList<int>& buttons, int helpContext, int defaultResult)
{
    return messageDlg(DialogKind::Red, text, type, buttons, helpContext, defaultResult);
}

int GrayMessageDlg(const QString& text, int type, const QList<int>& buttons, int helpContext, int defaultResult)
{
    return messageDlg(DialogKind::Gray, text, type, buttons, helpContext, defaultResult);
}

int ErrorBox(const QString& text)
{
    return RedMessageDlg(text, msg::Error, {msg::OK}, 0, msg::OK);
}

int NoPrintData()
{
    return GrayMessageDlg(QStringLiteral("Nie sú údaje pre tlač."), msg::Information, {msg::OK}, 0, msg::OK);
}

int PlainMessageBox(const QString& text)
{
    DialogRequest request;
    request.kind = DialogKind::Plain;
    request.type = msg::NoType;
    request.caption = applicationTitle();
    request.text = text;
    request.buttons = {msg::OK};
    request.defaultResult = msg::OK;
    return showDialog(request);
}
