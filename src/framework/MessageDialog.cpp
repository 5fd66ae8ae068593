#include "framework/MessageDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QStyle::StandardPixmap iconFor(int type)
{
    switch (type) {
    case msg::Warning:
        return QStyle::SP_MessageBoxWarning;
    case msg::Error:
        return QStyle::SP_MessageBoxCritical;
    case msg::Information:
        return QStyle::SP_MessageBoxInformation;
    case msg::Confirmation:
        return QStyle::SP_MessageBoxQuestion;
    default:
        return QStyle::StandardPixmap(-1);
    }
}

}  // namespace

QString MessageDialog::buttonCaption(int result)
{
    switch (result) {
    case msg::OK:
        return QStringLiteral("OK");
    case msg::Yes:
        return QStringLiteral("&Ano");
    case msg::No:
        return QStringLiteral("&Nie");
    case msg::Cancel:
        return QStringLiteral("Storno");
    default:
        return QString::number(result);
    }
}

QString MessageDialog::buttonName(int result)
{
    switch (result) {
    case msg::OK:
        return QStringLiteral("OK");
    case msg::Yes:
        return QStringLiteral("Yes");
    case msg::No:
        return QStringLiteral("No");
    case msg::Cancel:
        return QStringLiteral("Cancel");
    default:
        return QStringLiteral("Button%1").arg(result);
    }
}

MessageDialog::MessageDialog(const DialogRequest& request, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      m_helpContext(request.helpContext)
{
    setObjectName(QStringLiteral("MessageDialog"));
    setWindowTitle(request.caption);
    setProperty("helpContext", request.helpContext);

    if (request.kind == DialogKind::Red) {
        QPalette pal = palette();
        pal.setColor(QPalette::Window, Qt::red);
        pal.setColor(QPalette::WindowText, Qt::black);
        setPalette(pal);
        setAutoFillBackground(true);
    }

    auto* top = new QHBoxLayout;
    const QStyle::StandardPixmap icon =
        request.kind == DialogKind::Plain ? QStyle::StandardPixmap(-1) : iconFor(request.type);
    if (icon != QStyle::StandardPixmap(-1)) {
        auto* iconLabel = new QLabel(this);
        iconLabel->setObjectName(QStringLiteral("Image"));
        const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        iconLabel->setPixmap(style()->standardIcon(icon, nullptr, this).pixmap(size, size));
        iconLabel->setAlignment(Qt::AlignTop);
        top->addWidget(iconLabel);
    }
    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("Message"));
    text->setTextFormat(Qt::PlainText);
    // The texts carry Windows line breaks; a label wants a bare LF.
    QString shown = request.text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text->setText(shown);
    top->addWidget(text, 1);

    auto* row = new QHBoxLayout;
    row->addStretch();
    QPushButton* defaultButton = nullptr;
    for (int result : request.buttons) {
        auto* b = new QPushButton(buttonCaption(result), this);
        b->setObjectName(buttonName(result));
        connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
        row->addWidget(b);
        m_buttons.append({result, b});
        if (result == request.defaultResult && !defaultButton)
            defaultButton = b;
    }
    row->addStretch();

    if (request.buttons.contains(msg::Cancel))
        m_escapeResult = msg::Cancel;
    else if (request.buttons.contains(msg::No))
        m_escapeResult = msg::No;
    else if (!request.buttons.isEmpty())
        m_escapeResult = request.buttons.contains(msg::OK) ? int(msg::OK) : request.buttons.constLast();

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(row);

    if (defaultButton) {
        defaultButton->setDefault(true);
        defaultButton->setFocus();
    }
}

QPushButton* MessageDialog::button(int result) const
{
    for (const auto& [r, b] : m_buttons)
        if (r == result)
            return b;
    return nullptr;
}

void MessageDialog::reject()
{
    done(m_escapeResult);
}
