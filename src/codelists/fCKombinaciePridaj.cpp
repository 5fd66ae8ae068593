#include "codelists/fCKombinaciePridaj.h"

#include "codelists/AdresarSql.h"
#include "controls/DbGridQDL.h"
#include "controls/IBComboBox.h"
#include "controls/IBCurrencyEdit.h"
#include "controls/IBMemo.h"
#include "controls/QDLBtn.h"
#include "controls/RegisterRefresh.h"
#include "fb/Decimal.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/Messages.h"
#include "framework/SlotGuard.h"
#include "framework/TextHelpers.h"

#include <QEvent>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>

namespace {

constexpr int kWidth = 660, kHeight = 243;  // 642 cut "Merná jednotka:" and the history's titles

QLabel* label(QWidget* parent, const QString& text, QWidget* buddy)
{
    auto* l = new QLabel(text, parent);
    l->move(8, buddy->y() + 3);
    l->adjustSize();
    l->setBuddy(buddy);
    return l;
}

TIBComboBox* lookup(QWidget* parent, const char* name, const QString& table, const QString& field,
                    const QString& key, int maxLength)
{
    auto* c = new TIBComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setSTableName(table);
    c->setSAppendFromField(field);
    c->setSKeyField(key);
    c->setSOrderBy(QStringLiteral("1"));
    c->setSAutoAppend(true);
    c->setMaxLength(maxLength);
    return c;
}

TQDLColumn column(const char* field, const QString& title, int width, Qt::Alignment alignment, const char* format)
{
    TQDLColumn c;
    c.FieldName = QString::fromLatin1(field);
    c.TitleCaption = title;
    if (width > 0)
        c.Width = width;
    c.Alignment = alignment;
    c.DisplayFormat = QString::fromLatin1(format);
    c.Order = osNone;
    return c;
}

}  // namespace

std::function<void(TFormDetails&)>& TfrmCKombinaciePridaj::languageCombinations()
{
    static std::function<void(TFormDetails&)> window;
    return window;
}

TfrmCKombinaciePridaj::TfrmCKombinaciePridaj(QWidget* parent)
    : TFormEditor(NextButton::Yes, parent)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(kWidth, kHeight);
    buildControls();

    m_history = std::make_unique<TRegisterRefresh>(grCeny, QStringList(), QStringLiteral("preklady"));
    m_history->statement = [this](const QString&, const QString&, QVariantMap& params) {
        const fb::Statement s = PriceHistoryStatement(Flag, Parent, eDBNazov->SKeyValue());
        params.insert(s.params);
        return s.lines;
    };
    grCeny->OnDisplayGrid = [this] { m_history->Refresh(); };
    connect(eDBNazov, &TIBComboBox::OnAfterSearch, this, guarded([this] {
                if (m_quietSearch == 0)
                    ShowPriceHistory();
            }));
    connect(eDBNazov, &TIBComboBox::OnCtrlEnter, this, guarded([this] { pickLanguageCombination(); }));
    OnDoubleClick(eDBNazov, [this] { pickLanguageCombination(); });
}

TfrmCKombinaciePridaj::~TfrmCKombinaciePridaj() = default;

void TfrmCKombinaciePridaj::buildControls()
{
    // The label column fits "Merná jednotka:"; the amount edit is 121 wide at
    // least, the currency sits after it.
    constexpr int x = 112, w = 180, amountWidth = 121;
    eDBNazov = lookup(this, "eDBNazov", QStringLiteral("JAZYKOVE_KOMBINACIE"), QStringLiteral("SKRATKA"),
                      QStringLiteral("JEDIN"), 15);
    eDBNazov->setSSearchIfFound(true);
    eDBNazov->setSNotFoundErrorText(1019);
    eDBNazov->setSetFocusIfNotFound(true);
    eDBNazov->setRequired(true);
    eDBNazov->setGeometry(x, 8, w, 21);
    label(this, QStringLiteral("Jaz. komb.:"), eDBNazov);

    eDBCena = new TIBCurrencyEdit(this);
    eDBCena->setObjectName(QStringLiteral("eDBCena"));
    eDBCena->setDecimals(3);
    eDBCena->setMaxLength(14);
    eDBCena->setAllowZero(true);
    eDBCena->setAllowNegative(true);
    eDBCena->setRequired(true);  // the yellow of a value that must be there; empty counts as 0
    eDBCena->setGeometry(x, 34, amountWidth, 21);
    label(this, QStringLiteral("Cena za MJ:"), eDBCena);

    eDBMena = lookup(this, "eDBMena", QStringLiteral("kombinacie"), QStringLiteral("mena"), QStringLiteral("mena"), 5);
    eDBMena->setSDistinct(true);
    eDBMena->setSSearchIfFound(false);
    eDBMena->setCharCase(TIBComboBox::ecUpperCase);
    eDBMena->setRequired(true);
    eDBMena->setGeometry(x + amountWidth + 4, 34, w - amountWidth - 4, 21);

    eDBMJ = lookup(this, "eDBMJ", QStringLiteral("MERNE_JEDNOTKY"), QStringLiteral("SKRATKA"), QStringLiteral("JEDIN"),
                   15);
    eDBMJ->setSSearchIfFound(true);
    eDBMJ->setSNotFoundErrorText(1019);
    eDBMJ->setSetFocusIfNotFound(true);
    eDBMJ->setRequired(true);
    eDBMJ->setGeometry(x, 60, w, 21);
    label(this, QStringLiteral("Merná jednotka:"), eDBMJ);

    const int buttonsTop = kHeight - 33;
    gbPoznamka = new QGroupBox(QStringLiteral(" &Poznámka: "), this);
    gbPoznamka->setObjectName(QStringLiteral("gbPoznamka"));
    gbPoznamka->setGeometry(8, 88, x + w - 8, buttonsTop - 6 - 88);
    eDBPoznamka = new TIBMemo(gbPoznamka);
    eDBPoznamka->setObjectName(QStringLiteral("eDBPoznamka"));
    eDBPoznamka->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    eDBPoznamka->setEnterKeyMovesFocus(true);
    eDBPoznamka->setGeometry(8, 18, gbPoznamka->width() - 16, gbPoznamka->height() - 26);

    gbCeny = new QGroupBox(QStringLiteral("História ceny prekladov:"), this);
    gbCeny->setObjectName(QStringLiteral("gbCeny"));
    gbCeny->setGeometry(x + w + 8, 2, kWidth - (x + w + 8) - 8, buttonsTop - 8);
    grCeny = new TDbGridQDL(gbCeny);
    grCeny->setObjectName(QStringLiteral("grCeny"));
    grCeny->setGeometry(8, 18, gbCeny->width() - 16, gbCeny->height() - 26);
    grCeny->SetKeyField(QStringLiteral("jedin"));
    grCeny->SetKeyFieldType(gktInteger);
    grCeny->SetCheckEnabled(true);
    grCeny->ReadOnly = true;
    grCeny->SetColumns({
        column("DATUM_PRIJATIA", QStringLiteral("Prijatý"), 68, Qt::AlignHCenter, "dd.mm.yyyy"),
        column("OBJ_CENA_MJ", QStringLiteral("Cena MJ v CM"), 82, Qt::AlignRight, ",0.000"),
        column("OBJ_MENA", QStringLiteral("CM"), 0, Qt::AlignLeft, ""),
        column("OBJ_MJ", QStringLiteral("MJ"), 25, Qt::AlignLeft, ""),
        column("OBJ_CENA_MJ_EUR", QStringLiteral("Cena MJ v €"), 71, Qt::AlignRight, ",0.000"),
    });
    grCeny->SetActiveTitleIndex(0);
    grCeny->setFocusPolicy(Qt::ClickFocus);
    grCeny->Loaded();

    btnDalsi->setGeometry(kWidth - 8 - 3 * 100 - 2 * 6, buttonsTop, 100, 27);
    btnZapis->setGeometry(kWidth - 8 - 2 * 100 - 6, buttonsTop, 100, 27);
    btnNezapis->setGeometry(kWidth - 8 - 100, buttonsTop, 100, 27);

    SetTabOrder({eDBNazov, eDBCena, eDBMena, eDBMJ, eDBPoznamka, btnDalsi, btnZapis, btnNezapis});
}

QString TfrmCKombinaciePridaj::captionFor(std::uint8_t mode) const
{
    return mode == TFormDetails::Insert ? QStringLiteral("Pridanie ceny") : QStringLiteral("Oprava ceny");
}

void TfrmCKombinaciePridaj::ClearControls()
{
    ++m_quietSearch;
    TFormEditor::ClearControls();
    grCeny->CloseData();
    if (Mode == TFormDetails::Insert && IsSetValue(Value))
        eDBNazov->FindIt(Value);
    --m_quietSearch;
}

bool TfrmCKombinaciePridaj::LoadRecord(fb::Transaction& transaction)
{
    fb::Query q(transaction);
    q.setSql(kSelectKombinacie);
    q.setParam(QStringLiteral("JEDIN"), Current);
    if (!q.executeAtMostOneRow())
        return false;
    const auto v = [&q](const char* c) { return q.value(QString::fromLatin1(c)); };
    ++m_quietSearch;  // the history follows once, when the window shows
    eDBNazov->FindIt(v("JAZYKOVA_KOMBINACIA"));
    --m_quietSearch;
    const QVariant cena = v("CENA");
    if (!IsSetValue(cena))
        eDBCena->Clear();
    else if (cena.metaType() == QMetaType::fromType<fb::Decimal>())
        eDBCena->setValue(cena.value<fb::Decimal>().toDouble());
    else
        eDBCena->setValue(cena.toDouble());
    eDBMena->setEditText(VariantToText(v("MENA")));
    eDBMJ->FindIt(v("MJ"));
    eDBPoznamka->setPlainText(VariantToText(v("POZNAMKA")));
    return true;
}

void TfrmCKombinaciePridaj::showEvent(QShowEvent* event)
{
    TFormEditor::showEvent(event);
    if (!event->spontaneous() && !eDBNazov->IsEmpty())
        runReportingUnexpected([this] { ShowPriceHistory(); });
}

void TfrmCKombinaciePridaj::ShowPriceHistory()
{
    grCeny->DisplayGrid();
}

void TfrmCKombinaciePridaj::pickLanguageCombination()
{
    if (!languageCombinations())
        return;
    TFormDetails d;
    InitDetails(d, TFormDetails::Select, {}, eDBNazov->SKeyValue());
    languageCombinations()(d);
    if (d.result() == TFormDetails::ResultOk && IsSetValue(d.Current)) {
        eDBNazov->FindIt(d.Current);
        ShowPriceHistory();
        SelectNextFrom(eDBNazov);
    }
}

QVariantMap TfrmCKombinaciePridaj::recordValues() const
{
    const auto key = [](const TIBComboBox* c) {
        const QVariant k = c->SKeyValue();
        return IsSetValue(k) ? k : QVariant();
    };
    // The price as typed, to its three decimals (no binary rounding on the way).
    const QString cena = QString::number(double(eDBCena->Value()), 'f', 3);
    QVariantMap p;
    p[QStringLiteral("JEDIN")] = Current;
    p[QStringLiteral("JAZYKOVA_KOMBINACIA")] = key(eDBNazov);
    p[QStringLiteral("CENA")] = QVariant::fromValue(fb::Decimal::fromString(cena).value_or(fb::Decimal()));
    p[QStringLiteral("MENA")] = TextParam(eDBMena->currentText());
    p[QStringLiteral("MJ")] = key(eDBMJ);
    p[QStringLiteral("POZNAMKA")] = TextParam(eDBPoznamka->toPlainText());
    return p;
}

void TfrmCKombinaciePridaj::SaveRecord(fb::Transaction& transaction, bool isNew)
{
    QVariantMap p = valuesToSave();
    fb::Query q(transaction);
    if (isNew) {
        p[QStringLiteral("ADRESAR")] = Parent;
        q.setSql(kInsertKombinacie);
    } else {
        q.setSql(kUpdateKombinacie);
    }
    q.setParams(p);
    q.execute();
    if (!isNew && q.rowsAffected() == 0)
        throw fb::Error(LoadMessageText(QStringLiteral("ERR1012")).trimmed());
}

QString TfrmCKombinaciePridaj::columnCaption(const QString& column) const
{
    static const QHash<QString, QString> captions = {
        {QStringLiteral("JAZYKOVA_KOMBINACIA"), QStringLiteral("Jazyková kombinácia")},
        {QStringLiteral("CENA"), QStringLiteral("Cena za MJ")},
        {QStringLiteral("MENA"), QStringLiteral("Mena")},
        {QStringLiteral("MJ"), QStringLiteral("Merná jednotka")},
        {QStringLiteral("POZNAMKA"), QStringLiteral("Poznámka")},
    };
    return captions.value(column, column);
}
