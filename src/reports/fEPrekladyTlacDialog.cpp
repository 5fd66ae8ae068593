#include "reports/fEPrekladyTlacDialog.h"

#include "controls/IBCheckBox.h"
#include "controls/IBComboBox.h"
#include "controls/IBDate.h"
#include "controls/QDLBtn.h"
#include "framework/Clock.h"
#include "framework/Messages.h"
#include "framework/SlotGuard.h"
#include "reports/EPrekladyTlacSql.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

QLabel* labelAt(QWidget* parent, const QString& text, int x, int y, QWidget* buddy)
{
    auto* label = new QLabel(text, parent);
    label->move(x, y + 3);
    label->adjustSize();
    label->setBuddy(buddy);
    return label;
}

constexpr int kControlX = 104;  // where the controls of the left column begin

}  // namespace

void ReportRunNotAvailable(const ReportRequest&)
{
    GrayMessageDlg(QStringLiteral("Tlač zostáv zatiaľ nie je k dispozícii."), msg::Information, {msg::OK}, 0, msg::OK);
}

TfrmEPrekladyTlacDialog::TfrmEPrekladyTlacDialog(ReportDialogCalls calls, QWidget* parent)
    : TFormEditor(NextButton::No, parent), m_calls(std::move(calls))
{
    if (!m_calls.run)
        m_calls.run = ReportRunNotAvailable;
    btnNezapis->setText(QStringLiteral("&Netlač"));
}

int TfrmEPrekladyTlacDialog::Run()
{
    TFormDetails d;
    InitDetails(d, TFormDetails::Insert);
    SetDetails(d);
    return d.result();
}

void TfrmEPrekladyTlacDialog::Zapis(QPushButton*)
{
    const ReportRequest r = request();
    m_calls.run(r);
    // Every run returns to the menu, also one that found nothing to print.
    done(TFormDetails::ResultOk);
}

QString TfrmEPrekladyTlacDialog::captionFor(std::uint8_t) const
{
    return caption();
}

void TfrmEPrekladyTlacDialog::addPeriod(int y)
{
    eDatumOd = new TIBDate(this);
    eDatumOd->setObjectName(QStringLiteral("eDatumOd"));
    eDatumOd->setGeometry(kControlX, y, 105, 21);
    labelAt(this, QStringLiteral("Obdobie od:"), 8, y, eDatumOd);
    eDatumDo = new TIBDate(this);
    eDatumDo->setObjectName(QStringLiteral("eDatumDo"));
    eDatumDo->setGeometry(kControlX + 140, y, 105, 21);
    auto* to = labelAt(this, QStringLiteral("do:"), 0, y, eDatumDo);
    to->move(eDatumDo->x() - 4 - to->width(), to->y());
}

TIBComboBox* TfrmEPrekladyTlacDialog::addAddress(QLabel*& label, QToolButton*& button, int y)
{
    auto* c = new TIBComboBox(this);
    c->setObjectName(QStringLiteral("eAdresar"));
    c->setSAutoAppend(true);
    c->setSTableName(QStringLiteral("adresar"));
    c->setSKeyField(QStringLiteral("jedin"));
    c->setSAppendFromField(QStringLiteral("nazov_uplny"));
    c->setSOrderBy(QStringLiteral("nazov_uplny"));
    c->setSWhere(QStringLiteral("typ=0"));
    c->setSUseBasicASCIIColumn(true);
    c->setSNotFoundErrorText(1019);
    c->setMaxLength(75);
    c->setGeometry(kControlX, y, 400, 21);
    label = labelAt(this, QStringLiteral("Objednávateľ:"), 8, y, c);
    label->setObjectName(QStringLiteral("lblAdresar"));

    button = new QToolButton(this);
    button->setObjectName(QStringLiteral("btnAdresar"));
    button->setText(QStringLiteral("..."));
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(c->x() + c->width() + 2, y, 21, 21);
    button->setVisible(bool(m_calls.pickAddress));
    m_addressSide.insert(c, 0);

    connect(button, &QToolButton::clicked, this, guarded([this, c, button] {
                if (button->isVisible())
                    pickAddress(c);
            }));
    connect(c, &TIBComboBox::OnCtrlEnter, this, guarded([this, c] { pickAddress(c); }));
    OnDoubleClick(c, [this, c] { pickAddress(c); });
    return c;
}

void TfrmEPrekladyTlacDialog::setAddressSide(TIBComboBox* combo, QLabel* label, int typ)
{
    combo->setSWhere(typ == 1 ? QStringLiteral("typ=1") : QStringLiteral("typ=0"));
    label->setText(typ == 1 ? QStringLiteral("Prekladateľ:") : QStringLiteral("Objednávateľ:"));
    label->adjustSize();
    m_addressSide.insert(combo, typ);
}

void TfrmEPrekladyTlacDialog::pickAddress(TIBComboBox* combo)
{
    if (!m_calls.pickAddress)
        return;
    const QVariant picked = m_calls.pickAddress(m_addressSide.value(combo), keyOf(combo));
    if (picked.isValid() && !picked.isNull()) {
        combo->FindIt(picked);
        SelectNextFrom(combo);
    } else {
        combo->setFocus();
    }
}

TIBComboBox* TfrmEPrekladyTlacDialog::addChoice(const char* name, const QString& label, const QString& list,
                                                const QString& orderBy, int x, int y, int width, QLabel** labelOut)
{
    auto* c = new TIBComboBox(this);
    c->setObjectName(QString::fromLatin1(name));
    c->setSAutoAppend(true);
    c->setSTableName(QStringLiteral("ponuky"));
    c->setSKeyField(QStringLiteral("cislo"));
    c->setSAppendFromField(QStringLiteral("text"));
    c->setSOrderBy(orderBy);
    c->setSWhere(QStringLiteral("zaradenie='%1'").arg(list));
    c->setRequired(true);
    c->setGeometry(x, y, width, 21);
    auto* l = labelAt(this, label, 0, y, c);
    l->move(x - 4 - l->width(), l->y());
    if (labelOut)
        *labelOut = l;
    return c;
}

TIBCheckBox* TfrmEPrekladyTlacDialog::addCheck(const char* name, const QString& caption, int x, int y, int width)
{
    auto* c = new TIBCheckBox(caption, this);
    c->setObjectName(QString::fromLatin1(name));
    c->setGeometry(x, y, width, 21);
    return c;
}

void TfrmEPrekladyTlacDialog::placeButtons(int clientWidth, int clientHeight)
{
    setFixedSize(clientWidth, clientHeight);
    const int top = clientHeight - 33;
    btnNezapis->setGeometry(clientWidth - 8 - 100, top, 100, 27);
    btnZapis->setGeometry(btnNezapis->x() - 6 - 100, top, 100, 27);
}

void TfrmEPrekladyTlacDialog::setDefaultPeriod()
{
    const auto [first, last] = DefaultReportPeriod(Clock::today());
    eDatumOd->setDate(first);
    eDatumDo->setDate(last);
}

QDate TfrmEPrekladyTlacDialog::dateOf(const TIBDate* edit)
{
    return edit->IsEmpty() ? QDate() : edit->date();
}

QVariant TfrmEPrekladyTlacDialog::keyOf(const TIBComboBox* combo)
{
    const QVariant key = combo->SKeyValue();
    return key.isValid() && !key.isNull() ? key : QVariant();
}
