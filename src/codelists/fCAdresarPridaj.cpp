#include "codelists/fCAdresarPridaj.h"

#include "codelists/AdresarSql.h"
#include "controls/IBCheckBox.h"
#include "controls/IBComboBox.h"
#include "controls/IBEdit.h"
#include "controls/IBMemo.h"
#include "controls/InnerButton.h"
#include "controls/QDLBtn.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/Messages.h"
#include "framework/SlotGuard.h"
#include "framework/TextHelpers.h"
#include "framework/UiHelpers.h"
#include "platform/MailLink.h"

#include <QColorDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kWidth = 501, kHeight = 455;
constexpr int kLabelX = 8, kControlX = 100, kControlWidth = kWidth - 8 - kControlX, kRow = 26;

QLabel* label(QWidget* parent, const QString& text, int y, QWidget* buddy)
{
    auto* l = new QLabel(text, parent);
    l->move(kLabelX, y + 3);
    l->adjustSize();
    l->setBuddy(buddy);
    return l;
}

TIBEdit* edit(QWidget* parent, const char* name, int maxLength, int y, int x = kControlX, int width = kControlWidth)
{
    auto* e = new TIBEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(maxLength);
    e->setGeometry(x, y, width, 21);
    return e;
}

// A combo offering the values the address book already holds in `column`;
// any text may be typed.
TIBComboBox* usedValues(QWidget* parent, const char* name, const QString& column, const QString& where, int y,
                        int x = kControlX, int width = kControlWidth)
{
    auto* c = new TIBComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setSTableName(QStringLiteral("adresar"));
    c->setSAppendFromField(column);
    c->setSKeyField(column);
    c->setSDistinct(true);
    c->setSWhere(where);
    c->setSOrderBy(QStringLiteral("1"));
    c->setSAutoAppend(true);
    c->setSSearchIfFound(false);
    c->setMaxLength(50);
    c->setGeometry(x, y, width, 21);
    return c;
}

}  // namespace

TfrmCAdresarPridaj::ColourChooser& TfrmCAdresarPridaj::colourChooser()
{
    static ColourChooser chooser = [](const QColor& initial, QWidget* parent) {
        return QColorDialog::getColor(initial, parent);
    };
    return chooser;
}

TfrmCAdresarPridaj::TfrmCAdresarPridaj(QWidget* parent)
    : TFormEditor(NextButton::Yes, parent)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(kWidth, kHeight);
    buildControls();
}

void TfrmCAdresarPridaj::buildControls()
{
    // Created in tab order: CheckControls checks in the order of creation.
    int y = 8;
    eDBMeno = edit(this, "eDBMeno", 50, y);
    eDBMeno->setRequired(true);
    eDBMeno->setUniqueTest(true);
    eDBMeno->setUTableName(QStringLiteral("adresar"));
    eDBMeno->setUTestColumn(QStringLiteral("meno"));
    eDBMeno->setUniqueColumn(QStringLiteral("jedin"));
    eDBMeno->setUBezDiakritiky(false);
    eDBMeno->setUniqueErrorText(1004);
    label(this, QStringLiteral("Meno:"), y, eDBMeno);

    y += kRow;
    eDBAdresa = edit(this, "eDBAdresa", 50, y);
    label(this, QStringLiteral("Adresa:"), y, eDBAdresa);

    y += kRow;
    eDBPSC = edit(this, "eDBPSC", 5, y, kControlX, 49);
    label(this, QStringLiteral("PSČ a mesto:"), y, eDBPSC);
    eDBMesto = usedValues(this, "eDBMesto", QStringLiteral("mesto"), QStringLiteral("mesto<>'' and mesto is not null"),
                          y, kControlX + 53, kControlWidth - 53);

    y += kRow;
    eDBStat = usedValues(this, "eDBStat", QStringLiteral("stat"), QStringLiteral("stat<>'' and stat is not null"), y);
    label(this, QStringLiteral("Štát:"), y, eDBStat);

    const auto mailField = [&](const char* name, const QString& caption) {
        y += kRow;
        TIBEdit* e = edit(this, name, 50, y);
        e->setButtonVisible(true);
        e->button()->setText(QStringLiteral("@"));
        e->button()->setToolTip(QStringLiteral("Nový e-mail"));
        label(this, caption, y, e);
        connect(e, &TIBEdit::OnButtonClick, this, guarded([this, e] { MailTo(e); }));
        return e;
    };
    eDBEmail = mailField("eDBEmail", QStringLiteral("e-mail:"));
    eDBEmail2 = mailField("eDBEmail2", QStringLiteral("e-mail 2:"));
    eDBEMail3 = mailField("eDBEMail3", QStringLiteral("e-mail 3:"));

    y += kRow;
    eDBTel1 = edit(this, "eDBTel1", 50, y);
    label(this, QStringLiteral("Telefón 1:"), y, eDBTel1);
    y += kRow;
    eDBTel2 = edit(this, "eDBTel2", 50, y);
    label(this, QStringLiteral("Telefón 2:"), y, eDBTel2);

    y += kRow;
    eDBPravnaForma = new TIBComboBox(this);
    eDBPravnaForma->setObjectName(QStringLiteral("eDBPravnaForma"));
    eDBPravnaForma->setSTableName(QStringLiteral("ponuky"));
    eDBPravnaForma->setSAppendFromField(QStringLiteral("text"));
    eDBPravnaForma->setSKeyField(QStringLiteral("cislo"));
    eDBPravnaForma->setSWhere(QStringLiteral("zaradenie='pravna_forma'"));
    eDBPravnaForma->setSOrderBy(QStringLiteral("text"));
    eDBPravnaForma->setSAutoAppend(true);
    eDBPravnaForma->setSSearchIfFound(true);
    eDBPravnaForma->setSNotFoundErrorText(1019);
    eDBPravnaForma->setSetFocusIfNotFound(true);
    eDBPravnaForma->setRequired(true);
    eDBPravnaForma->setGeometry(kControlX, y, 200, 21);
    label(this, QStringLiteral("Právna forma:"), y, eDBPravnaForma);

    y += kRow;
    eDBSposobPlatby = usedValues(this, "eDBSposobPlatby", QStringLiteral("sposob_platby"),
                                 QStringLiteral("sposob_platby<>''"), y, kControlX, 200);
    eDBSposobPlatby->setRequired(true);
    lblSposobPlatby = label(this, QStringLiteral("Spôsob platby:"), y, eDBSposobPlatby);

    y += kRow;
    eDBFarba = new TIBCheckBox(QStringLiteral("Podfarbenie:"), this);
    eDBFarba->setObjectName(QStringLiteral("eDBFarba"));
    eDBFarba->setGeometry(kLabelX, y, kControlX - kLabelX + 16, 21);
    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setAutoFillBackground(true);
    Shape1->setGeometry(kControlX + 24, y + 2, 161, 17);
    QPalette outline = Shape1->palette();
    outline.setColor(QPalette::WindowText, Qt::gray);
    Shape1->setPalette(outline);
    btnFarba = new QPushButton(QStringLiteral("Výber farby"), this);
    btnFarba->setObjectName(QStringLiteral("btnFarba"));
    btnFarba->setAutoDefault(false);
    btnFarba->setGeometry(Shape1->geometry().right() + 9, y - 2, 100, 25);
    connect(eDBFarba, &QCheckBox::toggled, this, [this](bool on) { showColour(on); });
    connect(btnFarba, &QPushButton::clicked, this, guarded([this] { ChooseColour(); }));

    y += kRow + 4;
    const int buttonsTop = kHeight - 33;
    gbPoznamka = new QGroupBox(QStringLiteral(" &Poznámka: "), this);
    gbPoznamka->setObjectName(QStringLiteral("gbPoznamka"));
    gbPoznamka->setGeometry(kLabelX, y, kWidth - 2 * kLabelX, buttonsTop - 6 - y);
    eDBPoznamka = new TIBMemo(gbPoznamka);
    eDBPoznamka->setObjectName(QStringLiteral("eDBPoznamka"));
    eDBPoznamka->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    eDBPoznamka->setEnterKeyMovesFocus(true);
    eDBPoznamka->setGeometry(8, 18, gbPoznamka->width() - 16, gbPoznamka->height() - 26);

    btnDalsi->setGeometry(kWidth - 8 - 3 * 100 - 2 * 6, buttonsTop, 100, 27);
    btnZapis->setGeometry(kWidth - 8 - 2 * 100 - 6, buttonsTop, 100, 27);
    btnNezapis->setGeometry(kWidth - 8 - 100, buttonsTop, 100, 27);

    SetTabOrder({eDBMeno, eDBAdresa, eDBPSC, eDBMesto, eDBStat, eDBEmail, eDBEmail2, eDBEMail3, eDBTel1, eDBTel2,
                 eDBPravnaForma, eDBSposobPlatby, eDBFarba, btnFarba, eDBPoznamka, btnDalsi, btnZapis, btnNezapis});
}

QString TfrmCAdresarPridaj::captionFor(std::uint8_t mode) const
{
    return mode == TFormDetails::Insert ? QStringLiteral("Pridanie kontaktu") : QStringLiteral("Oprava kontaktu");
}

void TfrmCAdresarPridaj::ClearControls()
{
    TFormEditor::ClearControls();
    eDBPravnaForma->FindIt(1);  // "súkromná osoba"
    m_colour = Qt::white;
    eDBFarba->setChecked(false);
    showColour(false);

    // What the call record decides (it has been copied when this runs).
    eDBSposobPlatby->setVisible(Flag);
    lblSposobPlatby->setVisible(Flag);
    eDBMeno->setUAdditionalToWhere(QStringLiteral("and Typ=%1").arg(Flag ? 1 : 0));
    eDBMeno->setUniqueColumnValue(Mode == TFormDetails::Insert ? QVariant() : Current);
    if (Mode == TFormDetails::Insert)
        eDBMeno->setText(Text.left(50));
}

void TfrmCAdresarPridaj::setColour(const QColor& colour)
{
    m_colour = colour;
    QPalette p = Shape1->palette();
    p.setColor(QPalette::Window, colour);
    Shape1->setPalette(p);
}

void TfrmCAdresarPridaj::showColour(bool ticked)
{
    setColour(m_colour);
    btnFarba->setVisible(ticked);
    Shape1->setVisible(ticked);
}

void TfrmCAdresarPridaj::ChooseColour()
{
    const QColor chosen = colourChooser()(m_colour, this);
    if (!chosen.isValid())
        return;
    setColour(chosen);
    SelectNextFrom(btnFarba);
}

void TfrmCAdresarPridaj::MailTo(TIBEdit* field)
{
    ComposeMail(field->text().trimmed(), eDBMeno->text().trimmed());
}

bool TfrmCAdresarPridaj::LoadRecord(fb::Transaction& transaction)
{
    fb::Query q(transaction);
    q.setSql(kSelectAdresar);
    q.setParam(QStringLiteral("JEDIN"), Current);
    if (!q.executeAtMostOneRow())
        return false;
    const auto v = [&q](const char* column) { return q.value(QString::fromLatin1(column)); };
    eDBMeno->setText(VariantToText(v("MENO")));
    eDBAdresa->setText(VariantToText(v("ADRESA")));
    eDBPSC->setText(VariantToText(v("PSC")));
    eDBMesto->setEditText(VariantToText(v("MESTO")));
    eDBStat->setEditText(VariantToText(v("STAT")));
    eDBEmail->setText(VariantToText(v("EMAIL")));
    eDBEmail2->setText(VariantToText(v("EMAIL2")));
    eDBEMail3->setText(VariantToText(v("EMAIL3")));
    eDBTel1->setText(VariantToText(v("TEL1")));
    eDBTel2->setText(VariantToText(v("TEL2")));
    eDBPravnaForma->FindIt(v("PRAVNA_FORMA"));
    eDBSposobPlatby->setEditText(VariantToText(v("SPOSOB_PLATBY")));
    eDBPoznamka->setPlainText(VariantToText(v("POZNAMKA")));
    const QVariant farba = v("FARBA");
    if (IsSetValue(farba)) {
        m_colour = ColorFromDelphi(int(qint64(farba.toDouble())));
        eDBFarba->setChecked(true);
        showColour(true);
    }
    return true;
}

QVariantMap TfrmCAdresarPridaj::recordValues() const
{
    QVariantMap p;
    p[QStringLiteral("JEDIN")] = Current;
    p[QStringLiteral("MENO")] = TextParam(eDBMeno->text());
    p[QStringLiteral("ADRESA")] = TextParam(eDBAdresa->text());
    p[QStringLiteral("PSC")] = TextParam(eDBPSC->text());
    p[QStringLiteral("MESTO")] = TextParam(eDBMesto->currentText());
    p[QStringLiteral("STAT")] = TextParam(eDBStat->currentText());
    p[QStringLiteral("EMAIL")] = TextParam(eDBEmail->text());
    p[QStringLiteral("EMAIL2")] = TextParam(eDBEmail2->text());
    p[QStringLiteral("EMAIL3")] = TextParam(eDBEMail3->text());
    p[QStringLiteral("TEL1")] = TextParam(eDBTel1->text());
    p[QStringLiteral("TEL2")] = TextParam(eDBTel2->text());
    // A customer has no payment method: the hidden field stores ''.
    p[QStringLiteral("SPOSOB_PLATBY")] = TextParam(Flag ? eDBSposobPlatby->currentText() : QString());
    p[QStringLiteral("POZNAMKA")] = TextParam(eDBPoznamka->toPlainText());
    const QVariant forma = eDBPravnaForma->SKeyValue();
    p[QStringLiteral("PRAVNA_FORMA")] = IsSetValue(forma) ? forma : QVariant();
    p[QStringLiteral("FARBA")] = eDBFarba->isChecked() ? QVariant(ColorToDelphi(m_colour)) : QVariant();
    return p;
}

void TfrmCAdresarPridaj::SaveRecord(fb::Transaction& transaction, bool isNew)
{
    QVariantMap p = valuesToSave();
    fb::Query q(transaction);
    if (isNew) {
        p[QStringLiteral("TYP")] = Flag ? 1 : 0;
        q.setSql(kInsertAdresar);
    } else {
        q.setSql(kUpdateAdresar);
    }
    q.setParams(p);
    q.execute();
    // Another workstation deleted the contact meanwhile: the update changed
    // nothing, which must not close the editor as if it had saved.
    if (!isNew && q.rowsAffected() == 0)
        throw fb::Error(LoadMessageText(QStringLiteral("ERR1012")).trimmed());
}

QString TfrmCAdresarPridaj::columnCaption(const QString& column) const
{
    static const QHash<QString, QString> captions = {
        {QStringLiteral("MENO"), QStringLiteral("Meno")},
        {QStringLiteral("ADRESA"), QStringLiteral("Adresa")},
        {QStringLiteral("PSC"), QStringLiteral("PSČ")},
        {QStringLiteral("MESTO"), QStringLiteral("Mesto")},
        {QStringLiteral("STAT"), QStringLiteral("Štát")},
        {QStringLiteral("EMAIL"), QStringLiteral("E-mail")},
        {QStringLiteral("EMAIL2"), QStringLiteral("E-mail 2")},
        {QStringLiteral("EMAIL3"), QStringLiteral("E-mail 3")},
        {QStringLiteral("TEL1"), QStringLiteral("Telefón 1")},
        {QStringLiteral("TEL2"), QStringLiteral("Telefón 2")},
        {QStringLiteral("SPOSOB_PLATBY"), QStringLiteral("Spôsob platby")},
        {QStringLiteral("POZNAMKA"), QStringLiteral("Poznámka")},
        {QStringLiteral("PRAVNA_FORMA"), QStringLiteral("Právna forma")},
        {QStringLiteral("FARBA"), QStringLiteral("Farba")},
    };
    return captions.value(column, column);
}
