#include "register/fEPrekladyPridaj.h"

#include "controls/DataControl.h"
#include "controls/IBCheckBox.h"
#include "controls/IBComboBox.h"
#include "controls/IBCurrencyEdit.h"
#include "controls/IBDate.h"
#include "controls/IBEdit.h"
#include "controls/IBMemo.h"
#include "controls/IBTime.h"
#include "controls/QDLBtn.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/Clock.h"
#include "framework/Messages.h"
#include "framework/SlotGuard.h"
#include "framework/DbOperation.h"
#include "framework/TextHelpers.h"
#include "framework/UiHelpers.h"
#include "register/fHistoriaPrekladu.h"

#include <QEvent>
#include <QGroupBox>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>

#include <deque>
#include <functional>

namespace {

const QStringList kSelectJob = {
    QStringLiteral("SELECT A.ZNACKA,A.NAZOV,A.PM,A.DATUM_PRIJATIA,"),
    QStringLiteral("A.DATUM_ZADANIA_PREKLADATELOVI,A.DATUM_DODANIA_PREKLADU,"),
    QStringLiteral("A.DATUM_ODOSLANIA_PREKLADU,A.TERMIN,A.JAZYKOVA_KOMBINACIA,"),
    QStringLiteral("A.OBJEDNAVATEL,A.OBJ_CENA_MJ,A.OBJ_MJ,A.OBJ_MENA,A.OBJ_KURZ,"),
    QStringLiteral("A.OBJ_KOEFICIENT,A.OBJ_ROZSAH,A.OBJ_FAKTURA,"),
    QStringLiteral("A.PREKLADATEL,A.PRE_CENA_MJ,A.PRE_MJ,A.PRE_MENA,A.PRE_KURZ,"),
    QStringLiteral("A.PRE_KOEFICIENT,A.PRE_ROZSAH,A.PRE_FAKTURA,A.POZNAMKA,"),
    QStringLiteral("A.HODNOTENY,A.HODNOTENIE"),
    QStringLiteral("FROM PREKLADY A"),
    QStringLiteral("WHERE A.JEDIN=:JEDIN"),
};

const QStringList kInsertJob = {
    QStringLiteral("INSERT INTO PREKLADY (JEDIN,ZNACKA,NAZOV,DATUM_PRIJATIA,"),
    QStringLiteral("DATUM_ZADANIA_PREKLADATELOVI,DATUM_DODANIA_PREKLADU,"),
    QStringLiteral("DATUM_ODOSLANIA_PREKLADU,TERMIN,JAZYKOVA_KOMBINACIA,"),
    QStringLiteral("OBJEDNAVATEL,OBJ_CENA_MJ,OBJ_MJ,OBJ_MENA,OBJ_KURZ,"),
    QStringLiteral("OBJ_KOEFICIENT,OBJ_ROZSAH,OBJ_FAKTURA,"),
    QStringLiteral("PREKLADATEL,PRE_CENA_MJ,PRE_MJ,PRE_MENA,"),
    QStringLiteral("PRE_KURZ,PRE_KOEFICIENT,PRE_ROZSAH,PRE_FAKTURA,"),
    QStringLiteral("POZNAMKA,PM,HODNOTENY,HODNOTENIE)"),
    QStringLiteral("VALUES (:JEDIN,:ZNACKA,:NAZOV,current_timestamp,"),
    QStringLiteral(":DATUM_ZADANIA_PREKLADATELOVI,:DATUM_DODANIA_PREKLADU,"),
    QStringLiteral(":DATUM_ODOSLANIA_PREKLADU,:TERMIN,:JAZYKOVA_KOMBINACIA,"),
    QStringLiteral(":OBJEDNAVATEL,:OBJ_CENA_MJ,:OBJ_MJ,:OBJ_MENA,:OBJ_KURZ,"),
    QStringLiteral(":OBJ_KOEFICIENT,:OBJ_ROZSAH,:OBJ_FAKTURA,"),
    QStringLiteral(":PREKLADATEL,:PRE_CENA_MJ,:PRE_MJ,:PRE_MENA,"),
    QStringLiteral(":PRE_KURZ,:PRE_KOEFICIENT,:PRE_ROZSAH,:PRE_FAKTURA,"),
    QStringLiteral(":POZNAMKA,:PM,:HODNOTENY,:HODNOTENIE)"),
};

const QStringList kUpdateJob = {
    QStringLiteral("UPDATE PREKLADY SET ZNACKA=:ZNACKA,NAZOV=:NAZOV,"),
    QStringLiteral("DATUM_ZADANIA_PREKLADATELOVI=:DATUM_ZADANIA_PREKLADATELOVI,"),
    QStringLiteral("DATUM_DODANIA_PREKLADU=:DATUM_DODANIA_PREKLADU,"),
    QStringLiteral("DATUM_ODOSLANIA_PREKLADU=:DATUM_ODOSLANIA_PREKLADU,"),
    QStringLiteral("TERMIN=:TERMIN,JAZYKOVA_KOMBINACIA=:JAZYKOVA_KOMBINACIA,"),
    QStringLiteral("OBJEDNAVATEL=:OBJEDNAVATEL,OBJ_CENA_MJ=:OBJ_CENA_MJ,"),
    QStringLiteral("OBJ_MJ=:OBJ_MJ,OBJ_MENA=:OBJ_MENA,OBJ_KURZ=:OBJ_KURZ,"),
    QStringLiteral("OBJ_KOEFICIENT=:OBJ_KOEFICIENT,OBJ_ROZSAH=:OBJ_ROZSAH,"),
    QStringLiteral("OBJ_FAKTURA=:OBJ_FAKTURA,PREKLADATEL=:PREKLADATEL,"),
    QStringLiteral("PRE_CENA_MJ=:PRE_CENA_MJ,PRE_MJ=:PRE_MJ,PRE_MENA=:PRE_MENA,"),
    QStringLiteral("PRE_KURZ=:PRE_KURZ,PRE_KOEFICIENT=:PRE_KOEFICIENT,"),
    QStringLiteral("PRE_ROZSAH=:PRE_ROZSAH,PRE_FAKTURA=:PRE_FAKTURA,"),
    QStringLiteral("POZNAMKA=:POZNAMKA,PM=:PM,HODNOTENY=:HODNOTENY,"),
    QStringLiteral("HODNOTENIE=:HODNOTENIE"),
    QStringLiteral("WHERE JEDIN=:JEDIN"),
};

const QString kLoadPriceCaption = QStringLiteral("Načítaj cenu jazykovej kombinácie a kurz meny");

// The edits of this window write in a 13-pixel Courier.
QFont editFont()
{
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(13);
    return font;
}

void place(QWidget* w, int x, int y, int width, int height = 21)
{
    w->setMinimumWidth(0);
    w->setGeometry(x, y, width, height);
}

QLabel* addLabel(QWidget* parent, const QString& text, int x, int y, QWidget* buddy = nullptr)
{
    auto* label = new QLabel(text, parent);
    label->move(x, y + 3);
    label->adjustSize();
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

// A label that ends just before its control, on the control's row.
QLabel* labelBefore(QWidget* parent, const QString& text, QWidget* control)
{
    auto* label = new QLabel(text, parent);
    label->adjustSize();
    label->move(control->x() - 4 - label->width(), control->y() + 3);
    label->setBuddy(control);
    return label;
}

QToolButton* dotsButton(QWidget* parent, const char* name, int x, int y)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(QStringLiteral("..."));
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(x, y, 21, 21);
    return b;
}

void makeGrey(DataControl* control)
{
    control->setReadOnly(true);
}

void setupLookup(TIBComboBox* c, const QString& table, const QString& key, const QString& key2,
                 const QString& textColumn, const QString& orderBy, const QString& where, int maxLength)
{
    c->setSAutoAppend(true);
    c->setSTableName(table);
    c->setSKeyField(key);
    if (!key2.isEmpty())
        c->setSKeyField2(key2);
    c->setSAppendFromField(textColumn);
    c->setSOrderBy(orderBy);
    c->setSWhere(where);
    c->setMaxLength(maxLength);
}

// Number fields of the price groups: any sign, zero allowed, at most 14 characters.
TIBCurrencyEdit* priceEdit(QWidget* parent, const char* name, int decimals)
{
    auto* e = new TIBCurrencyEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setDecimals(decimals);
    e->setAllowZero(true);
    e->setAllowNegative(true);
    e->setMaxLength(14);
    return e;
}

TIBEdit* textEdit(QWidget* parent, const char* name, int maxLength)
{
    auto* e = new TIBEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(maxLength);
    return e;
}

// Letters typed into an upper-case field are shown in upper case.
void upperCase(TIBEdit* edit)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text)
            return;
        const int cursor = edit->cursorPosition();
        edit->setText(upper);
        edit->setCursorPosition(cursor);
    });
}

fb::Decimal decimalOf(const TIBCurrencyEdit* e)
{
    const int decimals = e->Decimals() < 0 ? 2 : e->Decimals();
    return fb::Decimal::fromString(QString::number(double(e->Value()), 'f', decimals)).value_or(fb::Decimal());
}

void setAmount(TIBCurrencyEdit* e, const QVariant& v)
{
    if (!IsSetValue(v)) {
        e->Clear();
        return;
    }
    if (v.metaType() == QMetaType::fromType<fb::Decimal>())
        e->setValue(v.value<fb::Decimal>().toDouble());
    else
        e->setValue(v.toDouble());
}

QVariant dateParam(const TIBDate* d)
{
    return d->IsEmpty() ? QVariant() : QVariant(d->date());
}

QVariant keyParam(const TIBComboBox* c)
{
    const QVariant key = c->keyValue(1);
    return IsSetValue(key) ? key : QVariant();
}

QVariant decimalParam(const TIBCurrencyEdit* e)
{
    return QVariant::fromValue(decimalOf(e));
}

}  // namespace

TfrmEPrekladyPridaj::TfrmEPrekladyPridaj(const QString& userAbbreviation, QWidget* parent)
    : TfrmEPrekladyPridaj(userAbbreviation, Windows{}, parent)
{
}

TfrmEPrekladyPridaj::TfrmEPrekladyPridaj(const QString& userAbbreviation, Windows windows, QWidget* parent)
    : TFormEditor(NextButton::Yes, parent), m_userAbbreviation(userAbbreviation), m_windows(std::move(windows))
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    buildControls();
    connectEvents();
    applyWindows();

    // Nothing after today: a job is not assigned, delivered or sent in the future.
    const QDate today = Clock::today();
    for (TIBDate* d : {eDBDatumZadaniaPrekladatelovi, eDBDatumDodaniaPrekladu, eDBDatumOdoslaniaPrekladu})
        d->setMaxDate(today);
    m_created = true;
}

namespace {

// Rows and columns inside the two price groups.
constexpr int rowAddress = 20, rowButton = 46, rowDates = 76, rowRating = 102;
constexpr int rowPrice = 126, rowRate = 162, rowTotals = 198, rowInvoice = 238, rowBalance = 263;
constexpr int col1 = 8, col2 = 137, col3 = 266, numberWidth = 121;

// The price rows of one group, laid out alike for the customer ("Obj") and
// the translator ("Pre"): price per unit, currency and unit; the rate with its
// button, the coefficient and the scope; the two totals.
struct PriceRows {
    TIBCurrencyEdit* cenaMJ = nullptr;
    TIBEdit* mena = nullptr;
    TIBComboBox* mj = nullptr;
    TIBCurrencyEdit* kurz = nullptr;
    QToolButton* btnKurz = nullptr;
    TIBCurrencyEdit* koeficient = nullptr;
    TIBCurrencyEdit* rozsah = nullptr;
    TIBCurrencyEdit* spolu = nullptr;
    TIBCurrencyEdit* spoluEur = nullptr;
};

PriceRows buildPriceRows(QGroupBox* box, const char* side)
{
    // "eDB" + "Obj" + "CenaMJ" and so on: the component names of either group.
    std::deque<QByteArray> names;  // each name lives as long as the build
    const auto name = [&](const char* pattern) {
        QByteArray n(pattern);
        const int at = n.startsWith("eDB") ? 3 : n.startsWith("btn") ? 3 : 1;
        n.insert(at, side);
        names.push_back(n);
        return names.back().constData();
    };
    PriceRows r;
    r.cenaMJ = priceEdit(box, name("eDBCenaMJ"), 3);
    makeGrey(r.cenaMJ);
    place(r.cenaMJ, col1, rowPrice + 15, numberWidth);
    addLabel(box, QStringLiteral("Cena za MJ"), col1, rowPrice - 3);
    r.mena = textEdit(box, name("eDBMena"), 5);
    upperCase(r.mena);
    makeGrey(r.mena);
    place(r.mena, col2, rowPrice + 15, numberWidth);
    addLabel(box, QStringLiteral("Mena"), col2, rowPrice - 3);
    r.mj = new TIBComboBox(box);
    r.mj->setObjectName(QString::fromLatin1(name("eDBMJ")));
    setupLookup(r.mj, QStringLiteral("merne_jednotky"), QStringLiteral("jedin"), {}, QStringLiteral("skratka"),
                {}, {}, 15);
    makeGrey(r.mj);
    place(r.mj, col3, rowPrice + 15, numberWidth);
    addLabel(box, QStringLiteral("Merná jednotka"), col3, rowPrice - 3);

    r.kurz = priceEdit(box, name("eDBKurz"), 3);
    place(r.kurz, col1, rowRate + 15, numberWidth - 23);
    addLabel(box, QStringLiteral("Kurz CM"), col1, rowRate - 3, r.kurz);
    r.btnKurz = dotsButton(box, name("btnKurz"), col1 + numberWidth - 21, rowRate + 15);
    r.btnKurz->setToolTip(QStringLiteral("Načítaj posledný zadaný kurz"));
    r.koeficient = priceEdit(box, name("eDBKoeficient"), 2);
    place(r.koeficient, col2, rowRate + 15, numberWidth);
    addLabel(box, QStringLiteral("Koeficient %"), col2, rowRate - 3, r.koeficient);
    r.rozsah = priceEdit(box, name("eDBRozsah"), 2);
    place(r.rozsah, col3, rowRate + 15, numberWidth);
    addLabel(box, QStringLiteral("Rozsah"), col3, rowRate - 3, r.rozsah);

    r.spolu = priceEdit(box, name("eCenaSpolu"), 2);
    makeGrey(r.spolu);
    place(r.spolu, col2, rowTotals + 15, numberWidth);
    addLabel(box, QStringLiteral("Cena spolu"), col2, rowTotals - 3);
    r.spoluEur = priceEdit(box, name("eCenaSpoluSKK"), 2);
    makeGrey(r.spoluEur);
    place(r.spoluEur, col3, rowTotals + 15, numberWidth);
    addLabel(box, QStringLiteral("Cena spolu v €"), col3, rowTotals - 3);

    return r;
}

}  // namespace

void TfrmEPrekladyPridaj::buildControls()
{
    setFixedSize(839, 500);
    const QFont font = editFont();

    // The controls are created in the order in which CheckControls checks them.
    // ---- top: mark, combination, PM, dates -------------------------------------
    eDBZnacka = textEdit(this, "eDBZnacka", 25);
    place(eDBZnacka, 140, 8, 206);
    addLabel(this, QStringLiteral("Značka:"), 8, 8, eDBZnacka);

    eDBJazykovaKombinacia = newOfferingCombo(this);
    eDBJazykovaKombinacia->setObjectName(QStringLiteral("eDBJazykovaKombinacia"));
    setupLookup(eDBJazykovaKombinacia, QStringLiteral("jazykove_kombinacie"), QStringLiteral("jedin"),
                QStringLiteral("hodnoteny"), QStringLiteral("skratka"), QStringLiteral("skratka"), {}, 15);
    eDBJazykovaKombinacia->setSDistinct(true);
    eDBJazykovaKombinacia->setRequired(true);
    place(eDBJazykovaKombinacia, 140, 34, 183);
    addLabel(this, QStringLiteral("Jazyková kombinácia:"), 8, 34, eDBJazykovaKombinacia);
    btnDBJazykovaKombinacia = dotsButton(this, "btnDBJazykovaKombinacia", 325, 34);

    eDBPM = textEdit(this, "eDBPM", 2);
    eDBPM->setToolTip(QStringLiteral("Projektový manažér"));
    upperCase(eDBPM);
    place(eDBPM, 392, 8, 40);
    labelBefore(this, QStringLiteral("PM:"), eDBPM);

    eDBDatumPrijatia = new TIBDate(this);
    eDBDatumPrijatia->setObjectName(QStringLiteral("eDBDatumPrijatia"));
    makeGrey(eDBDatumPrijatia);
    place(eDBDatumPrijatia, 140, 60, 105);
    eDBDatumPrijatiaTime = new TIBTime(this);
    eDBDatumPrijatiaTime->setObjectName(QStringLiteral("eDBDatumPrijatiaTime"));
    makeGrey(eDBDatumPrijatiaTime);
    place(eDBDatumPrijatiaTime, 245, 60, 65);
    addLabel(this, QStringLiteral("Preklad prijatý:"), 8, 60);

    auto* nazov = new QGroupBox(QStringLiteral("Názov:"), this);
    nazov->setObjectName(QStringLiteral("gbNazov"));
    nazov->setGeometry(562, 2, 269, 108);
    eDBNazov = new TIBMemo(nazov);
    eDBNazov->setObjectName(QStringLiteral("eDBNazov"));
    eDBNazov->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    place(eDBNazov, 8, 20, 253, 80);

    eDBTerminDate = new TIBDate(this);
    eDBTerminDate->setObjectName(QStringLiteral("eDBTerminDate"));
    eDBTerminDate->setRequired(true);
    place(eDBTerminDate, 140, 86, 105);
    eDBTerminTime = new TIBTime(this);
    eDBTerminTime->setObjectName(QStringLiteral("eDBTerminTime"));
    eDBTerminTime->setRequired(true);
    place(eDBTerminTime, 245, 86, 65);
    addLabel(this, QStringLiteral("Termín:"), 8, 86, eDBTerminDate);

    eDBDatumOdoslaniaPrekladu = new TIBDate(this);
    eDBDatumOdoslaniaPrekladu->setObjectName(QStringLiteral("eDBDatumOdoslaniaPrekladu"));
    place(eDBDatumOdoslaniaPrekladu, 449, 86, 105);
    lblDatumOdoslaniaPrekladu = labelBefore(this, QStringLiteral("Odoslanie prekladu:"), eDBDatumOdoslaniaPrekladu);

    // ---- the two price groups ----------------------------------------------------
    // Rows inside a group; the price rows of both groups line up.
    const int groupTop = 114, groupHeight = 292;

    auto* obj = new QGroupBox(QStringLiteral("Objednávateľ:"), this);
    obj->setObjectName(QStringLiteral("gbObjednavatel"));
    obj->setGeometry(8, groupTop, 407, groupHeight);

    eDBObjednavatel = newOfferingCombo(obj);
    eDBObjednavatel->setObjectName(QStringLiteral("eDBObjednavatel"));
    setupLookup(eDBObjednavatel, QStringLiteral("adresar"), QStringLiteral("jedin"), {},
                QStringLiteral("nazov_uplny"), QStringLiteral("nazov_uplny"), QStringLiteral("typ=0"), 75);
    eDBObjednavatel->setSUseBasicASCIIColumn(true);
    eDBObjednavatel->setRequired(true);
    place(eDBObjednavatel, 104, rowAddress, 272);
    addLabel(obj, QStringLiteral("Objednávateľ:"), col1, rowAddress, eDBObjednavatel);
    btnObjednavatel = dotsButton(obj, "btnObjednavatel", 378, rowAddress);

    btnObjKombinacie = new QPushButton(kLoadPriceCaption, obj);
    btnObjKombinacie->setObjectName(QStringLiteral("btnObjKombinacie"));
    btnObjKombinacie->setFocusPolicy(Qt::ClickFocus);
    btnObjKombinacie->setAutoDefault(false);
    place(btnObjKombinacie, col1, rowButton, 391, 25);

    const PriceRows objRows = buildPriceRows(obj, "Obj");
    eDBObjCenaMJ = objRows.cenaMJ;
    eDBObjMena = objRows.mena;
    eDBObjMJ = objRows.mj;
    eDBObjKurz = objRows.kurz;
    btnObjKurz = objRows.btnKurz;
    eDBObjKoeficient = objRows.koeficient;
    eDBObjRozsah = objRows.rozsah;
    eObjCenaSpolu = objRows.spolu;
    eObjCenaSpoluSKK = objRows.spoluEur;

    eDBObjFaktura = textEdit(obj, "eDBObjFaktura", 15);
    place(eDBObjFaktura, col2, rowInvoice, numberWidth);
    addLabel(obj, QStringLiteral("Faktúra:"), col1, rowInvoice, eDBObjFaktura);
    eObjNeuhradene = priceEdit(obj, "eObjNeuhradene", 2);
    makeGrey(eObjNeuhradene);
    place(eObjNeuhradene, col2, rowBalance, numberWidth);
    addLabel(obj, QStringLiteral("Neuhradené v €:"), col1, rowBalance);

    auto* pre = new QGroupBox(QStringLiteral("Prekladateľ:"), this);
    pre->setObjectName(QStringLiteral("gbPrekladatel"));
    pre->setGeometry(424, groupTop, 407, groupHeight);

    eDBPrekladatel = newOfferingCombo(pre);
    eDBPrekladatel->setObjectName(QStringLiteral("eDBPrekladatel"));
    setupLookup(eDBPrekladatel, QStringLiteral("adresar"), QStringLiteral("jedin"), QStringLiteral("sposob_platby"),
                QStringLiteral("nazov_uplny"), QStringLiteral("nazov_uplny"), QStringLiteral("typ=1"), 75);
    eDBPrekladatel->setSUseBasicASCIIColumn(true);
    place(eDBPrekladatel, 104, rowAddress, 272);
    addLabel(pre, QStringLiteral("Prekladateľ:"), col1, rowAddress, eDBPrekladatel);
    btnPrekladatel = dotsButton(pre, "btnPrekladatel", 378, rowAddress);

    btnPreKombinacie = new QPushButton(kLoadPriceCaption, pre);
    btnPreKombinacie->setObjectName(QStringLiteral("btnPreKombinacie"));
    btnPreKombinacie->setFocusPolicy(Qt::ClickFocus);
    btnPreKombinacie->setAutoDefault(false);
    place(btnPreKombinacie, col1, rowButton, 391, 25);

    eDBDatumZadaniaPrekladatelovi = new TIBDate(pre);
    eDBDatumZadaniaPrekladatelovi->setObjectName(QStringLiteral("eDBDatumZadaniaPrekladatelovi"));
    place(eDBDatumZadaniaPrekladatelovi, 64, rowDates, 105);
    addLabel(pre, QStringLiteral("Zadanie:"), col1, rowDates, eDBDatumZadaniaPrekladatelovi);
    eDBDatumDodaniaPrekladu = new TIBDate(pre);
    eDBDatumDodaniaPrekladu->setObjectName(QStringLiteral("eDBDatumDodaniaPrekladu"));
    place(eDBDatumDodaniaPrekladu, 294, rowDates, 105);
    lblDatumDodaniaPrekladu = labelBefore(pre, QStringLiteral("Dodanie prekladu:"), eDBDatumDodaniaPrekladu);

    eHodnoteny = new TIBCheckBox(QStringLiteral("Hodnotený:"), pre);
    eHodnoteny->setObjectName(QStringLiteral("eHodnoteny"));
    place(eHodnoteny, col1, rowRating, 90);
    eHodnotenie = priceEdit(pre, "eHodnotenie", 0);
    eHodnotenie->setMaxLength(3);
    eHodnotenie->setMaxValue(100);
    // A rating is 0 to 100: a negative one is refused on leaving, with its message.
    eHodnotenie->setAllowNegative(false);
    eHodnotenie->setAllowNegativeErrorText(1036);
    place(eHodnotenie, 100, rowRating, 44);
    lblHodnotenie = addLabel(pre, QStringLiteral("%"), 148, rowRating);
    eHodnoteniePriemerne = priceEdit(pre, "eHodnoteniePriemerne", 2);
    makeGrey(eHodnoteniePriemerne);
    place(eHodnoteniePriemerne, 318, rowRating, 66);
    labelBefore(pre, QStringLiteral("Priemerné hodnotenie:"), eHodnoteniePriemerne);
    addLabel(pre, QStringLiteral("%"), 388, rowRating);

    const PriceRows preRows = buildPriceRows(pre, "Pre");
    eDBPreCenaMJ = preRows.cenaMJ;
    eDBPreMena = preRows.mena;
    eDBPreMJ = preRows.mj;
    eDBPreKurz = preRows.kurz;
    btnPreKurz = preRows.btnKurz;
    eDBPreKoeficient = preRows.koeficient;
    eDBPreRozsah = preRows.rozsah;
    ePreCenaSpolu = preRows.spolu;
    ePreCenaSpoluSKK = preRows.spoluEur;

    eDBPreFaktura = textEdit(pre, "eDBPreFaktura", 15);
    place(eDBPreFaktura, col2, rowInvoice, numberWidth);
    addLabel(pre, QStringLiteral("Vyplatené:"), col1, rowInvoice, eDBPreFaktura);
    eDBPreSposobPlatby = new TIBComboBox(pre);
    eDBPreSposobPlatby->setObjectName(QStringLiteral("eDBPreSposobPlatby"));
    setupLookup(eDBPreSposobPlatby, QStringLiteral("ponuky"), QStringLiteral("cislo"), {}, QStringLiteral("text"),
                QStringLiteral("poradie"), QStringLiteral("zaradenie='sposob_platby'"), 50);
    makeGrey(eDBPreSposobPlatby);
    place(eDBPreSposobPlatby, col3, rowBalance, numberWidth);
    addLabel(pre, QStringLiteral("Spôsob platby:"), col3, rowInvoice);
    ePreNeuhradene = priceEdit(pre, "ePreNeuhradene", 2);
    makeGrey(ePreNeuhradene);
    place(ePreNeuhradene, col2, rowBalance, numberWidth);
    addLabel(pre, QStringLiteral("Neuhradené v €:"), col1, rowBalance);

    // ---- notes and buttons -------------------------------------------------------
    auto* notes = new QGroupBox(QStringLiteral("&Poznámky k prekladu:"), this);
    notes->setObjectName(QStringLiteral("gbPoznamka"));
    notes->setGeometry(8, groupTop + groupHeight + 2, 823, 500 - 40 - (groupTop + groupHeight + 2));
    eDBPoznamka = new TIBMemo(notes);
    eDBPoznamka->setObjectName(QStringLiteral("eDBPoznamka"));
    eDBPoznamka->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    place(eDBPoznamka, 8, 18, 807, notes->height() - 24);

    for (QWidget* w : findChildren<QWidget*>()) {
        if (DataControl::of(w) && !qobject_cast<TIBCheckBox*>(w))
            w->setFont(font);
    }
    // The notes are reached with the mouse or Alt+P, not with Tab; set after the
    // font so nothing resets it.
    eDBPoznamka->setFocusPolicy(Qt::ClickFocus);

    const int buttonsTop = 500 - 33;
    btnHistoria = new QPushButton(QStringLiteral("&História"), this);
    btnHistoria->setObjectName(QStringLiteral("btnHistoria"));
    btnHistoria->setToolTip(QStringLiteral("Zmeny prekladu (F9)"));
    btnHistoria->setAutoDefault(false);
    btnHistoria->setFocusPolicy(Qt::ClickFocus);
    btnHistoria->setGeometry(8, buttonsTop, 100, 27);
    connect(btnHistoria, &QPushButton::clicked, this, guarded([this] { ShowHistory(); }));
    btnDalsi->setGeometry(519, buttonsTop, 100, 27);
    btnZapis->setGeometry(625, buttonsTop, 100, 27);
    btnNezapis->setGeometry(731, buttonsTop, 100, 27);

    SetTabOrder({eDBZnacka, eDBJazykovaKombinacia, eDBPM, eDBNazov, eDBTerminDate, eDBTerminTime,
                 eDBDatumOdoslaniaPrekladu, eDBObjednavatel, eDBObjKurz, eDBObjKoeficient, eDBObjRozsah,
                 eDBObjFaktura, eDBPrekladatel, eDBDatumZadaniaPrekladatelovi, eDBDatumDodaniaPrekladu, eHodnoteny,
                 eHodnotenie, eDBPreKurz, eDBPreKoeficient, eDBPreRozsah, eDBPreFaktura, btnDalsi, btnZapis,
                 btnNezapis});
}

void TfrmEPrekladyPridaj::connectEvents()
{
    // Totals follow every change of their inputs.
    for (TIBCurrencyEdit* e : {eDBObjCenaMJ, eDBObjKurz, eDBObjKoeficient, eDBObjRozsah, eHodnotenie,
                               eHodnoteniePriemerne})
        connect(e, &QLineEdit::textChanged, this, guarded([this] { RecomputeObjTotals(); }));
    for (TIBCurrencyEdit* e : {eDBPreCenaMJ, eDBPreKurz, eDBPreKoeficient, eDBPreRozsah})
        connect(e, &QLineEdit::textChanged, this, guarded([this] { RecomputePreTotals(); }));

    // The visibility rules.
    connect(eDBPrekladatel, &TIBComboBox::OnChange, this, guarded([this] { ApplyVisibility(); }));
    connect(eDBDatumZadaniaPrekladatelovi, &TIBDate::OnChange, this, guarded([this] { ApplyVisibility(); }));
    connect(eDBDatumDodaniaPrekladu, &TIBDate::OnChange, this, guarded([this] { ApplyVisibility(); }));
    connect(eHodnoteny, &QCheckBox::toggled, this, guarded([this] { ApplyVisibility(); }));
    connect(eDBDatumZadaniaPrekladatelovi, &TIBDate::OnEnter, this, guarded([this] { zadanieEntered(); }));

    // The customer and the translator: remembered on entry, compared on leaving.
    connect(eDBObjednavatel, &TIBComboBox::OnEnter, this,
            [this] { m_objednavatelAtEntry = eDBObjednavatel->keyValue(1); });
    connect(eDBObjednavatel, &TIBComboBox::OnExit, this, guarded([this] { objednavatelLeft(); }));
    connect(eDBPrekladatel, &TIBComboBox::OnEnter, this,
            [this] { m_prekladatelAtEntry = eDBPrekladatel->keyValue(1); });
    connect(eDBPrekladatel, &TIBComboBox::OnExit, this, guarded([this] { prekladatelLeft(); }));

    // The assistance.
    connect(btnObjKombinacie, &QPushButton::clicked, this, guarded([this] { loadObjPrice(); }));
    connect(btnPreKombinacie, &QPushButton::clicked, this, guarded([this] { loadPrePrice(); }));
    connect(btnObjKurz, &QToolButton::clicked, this, guarded([this] { loadObjRate(); }));
    connect(btnPreKurz, &QToolButton::clicked, this, guarded([this] { loadPreRate(); }));
    connect(eDBZnacka, &TIBEdit::OnExit, this, guarded([this] { checkDuplicateZnacka(); }));

    connect(btnObjednavatel, &QToolButton::clicked, this, guarded([this] { pickObjednavatel(); }));
    connect(eDBObjednavatel, &TIBComboBox::OnCtrlEnter, this, guarded([this] { pickObjednavatel(); }));
    connect(btnPrekladatel, &QToolButton::clicked, this, guarded([this] { pickPrekladatel(); }));
    connect(eDBPrekladatel, &TIBComboBox::OnCtrlEnter, this, guarded([this] { pickPrekladatel(); }));
    connect(btnDBJazykovaKombinacia, &QToolButton::clicked, this, guarded([this] { pickJazykovaKombinacia(); }));
    connect(eDBJazykovaKombinacia, &TIBComboBox::OnCtrlEnter, this, guarded([this] { pickJazykovaKombinacia(); }));
    OnDoubleClick(eDBObjednavatel, [this] { pickObjednavatel(); });
    OnDoubleClick(eDBPrekladatel, [this] { pickPrekladatel(); });
    OnDoubleClick(eDBJazykovaKombinacia, [this] { pickJazykovaKombinacia(); });

    // A value set from outside shows the start of its text, not its end.
    for (TIBComboBox* c : findChildren<TIBComboBox*>())
        connect(c, &TIBComboBox::OnChange, this, [c] {
            if (!c->hasFocus())
                c->lineEdit()->setCursorPosition(0);
        });

    connect(eDBObjednavatel, &TIBComboBox::OnNotFound, this, guarded([this] { addObjednavatel(); }));
    connect(eDBPrekladatel, &TIBComboBox::OnNotFound, this, guarded([this] { addPrekladatel(); }));
    connect(eDBJazykovaKombinacia, &TIBComboBox::OnNotFound, this, guarded([this] { addJazykovaKombinacia(); }));
}

QString TfrmEPrekladyPridaj::captionFor(std::uint8_t mode) const
{
    return mode == TFormDetails::Insert ? QStringLiteral("Pridanie prekladu") : QStringLiteral("Oprava prekladu");
}

void TfrmEPrekladyPridaj::SetDetails(TFormDetails& details)
{
    TFormEditor::SetDetails(details);
    m_previousResult = details.result();
}

void TfrmEPrekladyPridaj::ClearControls()
{
    ++m_filling;
    if (m_previousResult != TFormDetails::ResultNext) {
        eDBZnacka->clear();
        eDBNazov->clear();
        eDBPM->clear();
        eDBTerminDate->setDate(Clock::today().addDays(1));
        eDBTerminTime->setTime(QTime(12, 0));
        eDBObjednavatel->Clear();
    }
    eDBJazykovaKombinacia->Clear();
    eDBDatumPrijatia->setDate(Clock::today());
    eDBDatumZadaniaPrekladatelovi->Clear();
    eDBDatumDodaniaPrekladu->Clear();
    eHodnoteny->setChecked(true);
    eHodnotenie->setValue(100);
    eHodnoteniePriemerne->Clear();
    eDBDatumOdoslaniaPrekladu->Clear();

    eDBObjCenaMJ->Clear();
    eDBObjMena->clear();
    eDBObjMJ->Clear();
    eDBObjKurz->setValue(1);
    eDBObjKoeficient->setValue(100);
    eDBObjRozsah->Clear();
    eObjCenaSpolu->Clear();
    eObjCenaSpoluSKK->Clear();
    eDBObjFaktura->clear();
    eObjNeuhradene->Clear();

    eDBPrekladatel->Clear();
    eDBPreCenaMJ->Clear();
    eDBPreMena->clear();
    eDBPreMJ->Clear();
    eDBPreKurz->setValue(1);
    eDBPreKoeficient->setValue(100);
    eDBPreRozsah->Clear();
    ePreCenaSpolu->Clear();
    ePreCenaSpoluSKK->Clear();
    eDBPreFaktura->clear();
    ePreNeuhradene->Clear();

    eDBPreSposobPlatby->Clear();
    eDBPoznamka->clear();
    m_reportedZnacka.clear();
    --m_filling;
}

bool TfrmEPrekladyPridaj::LoadRecord(fb::Transaction& transaction)
{
    fb::Query q(transaction);
    q.setSql(kSelectJob);
    q.setParam(QStringLiteral("JEDIN"), Current);
    if (!q.executeAtMostOneRow())
        return false;

    ++m_filling;
    const auto v = [&q](const char* column) { return q.value(QString::fromLatin1(column)); };
    eDBZnacka->setText(VariantToText(v("ZNACKA")));
    eDBNazov->setPlainText(VariantToText(v("NAZOV")));
    eDBPM->setText(VariantToText(v("PM")));
    const QDateTime received = v("DATUM_PRIJATIA").toDateTime();
    eDBDatumPrijatia->setDate(received.isValid() ? QVariant(received.date()) : QVariant());
    eDBDatumPrijatiaTime->setTime(received.isValid() ? QVariant(received.time()) : QVariant());
    eDBDatumZadaniaPrekladatelovi->setDate(v("DATUM_ZADANIA_PREKLADATELOVI"));
    eDBDatumDodaniaPrekladu->setDate(v("DATUM_DODANIA_PREKLADU"));
    eDBDatumOdoslaniaPrekladu->setDate(v("DATUM_ODOSLANIA_PREKLADU"));
    const QDateTime deadline = v("TERMIN").toDateTime();
    eDBTerminDate->setDate(deadline.isValid() ? QVariant(deadline.date()) : QVariant());
    eDBTerminTime->setTime(deadline.isValid() ? QVariant(deadline.time()) : QVariant());
    eDBJazykovaKombinacia->FindIt(v("JAZYKOVA_KOMBINACIA"));

    eDBObjednavatel->FindIt(v("OBJEDNAVATEL"));
    setAmount(eDBObjCenaMJ, v("OBJ_CENA_MJ"));
    eDBObjMJ->FindIt(v("OBJ_MJ"));
    eDBObjMena->setText(VariantToText(v("OBJ_MENA")));
    setAmount(eDBObjKurz, v("OBJ_KURZ"));
    setAmount(eDBObjKoeficient, v("OBJ_KOEFICIENT"));
    setAmount(eDBObjRozsah, v("OBJ_ROZSAH"));
    eDBObjFaktura->setText(VariantToText(v("OBJ_FAKTURA")));

    eDBPrekladatel->FindIt(v("PREKLADATEL"));
    setAmount(eDBPreCenaMJ, v("PRE_CENA_MJ"));
    eDBPreMJ->FindIt(v("PRE_MJ"));
    eDBPreMena->setText(VariantToText(v("PRE_MENA")));
    setAmount(eDBPreKurz, v("PRE_KURZ"));
    setAmount(eDBPreKoeficient, v("PRE_KOEFICIENT"));
    setAmount(eDBPreRozsah, v("PRE_ROZSAH"));
    eDBPreFaktura->setText(VariantToText(v("PRE_FAKTURA")));
    eDBPoznamka->setPlainText(VariantToText(v("POZNAMKA")));

    // A copy is a new job: what happened to the original after its receipt
    // (assignment, delivery, dispatch, rating, invoices and payments) is not
    // the copy's, or it would count as invoiced and sent under another job's
    // number.
    if (Mode == TFormDetails::Copy) {
        eDBDatumZadaniaPrekladatelovi->Clear();
        eDBDatumDodaniaPrekladu->Clear();
        eDBDatumOdoslaniaPrekladu->Clear();
        eDBObjFaktura->clear();
        eDBPreFaktura->clear();
    }
    // A rating belongs to a delivered job; otherwise the preset stays.
    if (!eDBDatumDodaniaPrekladu->IsEmpty()) {
        eHodnoteny->setChecked(v("HODNOTENY").toInt() == 1);
        if (eHodnoteny->isChecked() && IsSetValue(v("HODNOTENIE")))
            eHodnotenie->setValue(v("HODNOTENIE").toInt());
    }
    ShowPaymentMethod();
    --m_filling;

    loadObjBalance();
    loadPreBalance();
    loadAverageRating();
    return true;
}

void TfrmEPrekladyPridaj::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        runReportingUnexpected([this] {
            if (Mode == TFormDetails::Insert) {
                eDBPM->setText(m_userAbbreviation);
            } else if (Mode == TFormDetails::Copy) {
                // Saved as a new job from here on.
                Mode = TFormDetails::Insert;
                setWindowTitle(QStringLiteral("Kópia prekladu"));
            }
            RecomputeObjTotals();
            RecomputePreTotals();
            ApplyVisibility();
            m_pricesAtShow = priceSignature();
            // A new job (a copy too) has no history yet.
            btnHistoria->setEnabled(Mode == TFormDetails::Edit && IsSetValue(Current));
        });
    }
    TFormEditor::showEvent(event);
}

bool TfrmEPrekladyPridaj::keyPreview(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F9 && ShiftCtrlAlt(event) == Qt::NoModifier) {
        runReportingUnexpected([this] { ShowHistory(); });
        return true;
    }
    return TFormEditor::keyPreview(event);
}

void TfrmEPrekladyPridaj::ShowHistory()
{
    if (!btnHistoria->isEnabled())
        return;
    const QString znacka = eDBZnacka->text().trimmed();
    QString title = QStringLiteral("História prekladu č. %1").arg(Current.toString());
    if (!znacka.isEmpty())
        title += QStringLiteral(" (%1)").arg(znacka);
    ShowJobHistory(Current, title, this);
}

// ---- totals --------------------------------------------------------------------------

TfrmEPrekladyPridaj::PriceGroup TfrmEPrekladyPridaj::objGroup() const
{
    return {eDBObjCenaMJ, eDBObjKurz, eDBObjKoeficient, eDBObjRozsah, eObjCenaSpolu, eObjCenaSpoluSKK};
}

TfrmEPrekladyPridaj::PriceGroup TfrmEPrekladyPridaj::preGroup() const
{
    return {eDBPreCenaMJ, eDBPreKurz, eDBPreKoeficient, eDBPreRozsah, ePreCenaSpolu, ePreCenaSpoluSKK};
}

PriceTotals TfrmEPrekladyPridaj::totalsOf(const PriceGroup& g)
{
    return ComputePriceTotals(decimalOf(g.cenaMJ), decimalOf(g.kurz), decimalOf(g.koeficient), decimalOf(g.rozsah));
}

void TfrmEPrekladyPridaj::showTotals(const PriceGroup& g)
{
    const PriceTotals t = totalsOf(g);
    g.spolu->setValue(t.total.toDouble());
    if (t.totalEur) {
        g.spoluEur->setValue(t.totalEur->toDouble());
    } else {
        g.spoluEur->Clear();
        g.spoluEur->setText(QString());  // no figure at all rather than 0,00 €
    }
}

PriceTotals TfrmEPrekladyPridaj::objTotals() const
{
    return totalsOf(objGroup());
}

PriceTotals TfrmEPrekladyPridaj::preTotals() const
{
    return totalsOf(preGroup());
}

void TfrmEPrekladyPridaj::RecomputeObjTotals()
{
    if (m_created)
        showTotals(objGroup());
}

void TfrmEPrekladyPridaj::RecomputePreTotals()
{
    if (m_created)
        showTotals(preGroup());
}

// ---- visibility --------------------------------------------------------------------------

bool TfrmEPrekladyPridaj::prekladatelChosen() const
{
    return IsSetValue(eDBPrekladatel->keyValue(1)) && !eDBPrekladatel->IsEmpty();
}

void TfrmEPrekladyPridaj::ApplyVisibility()
{
    if (!m_created || m_filling > 0)
        return;
    // A date counts from its first typed character: the controls it reveals
    // must be visible before Tab leaves the date, or Tab would skip them.
    const auto hasDate = [](const TIBDate* date) { return !date->text().trimmed().isEmpty(); };
    const bool delivered = hasDate(eDBDatumDodaniaPrekladu);
    eDBDatumOdoslaniaPrekladu->setVisible(delivered);
    lblDatumOdoslaniaPrekladu->setVisible(delivered);

    const bool rated = delivered && IsSetValue(eDBJazykovaKombinacia->keyValue(1))
                       && eDBJazykovaKombinacia->keyValue(2).toInt() == 1;
    eHodnoteny->setVisible(rated);
    const bool rating = rated && eHodnoteny->isChecked();
    eHodnotenie->setVisible(rating);
    lblHodnotenie->setVisible(rating);

    const bool assigned = hasDate(eDBDatumZadaniaPrekladatelovi);
    eDBDatumDodaniaPrekladu->setVisible(assigned);
    lblDatumDodaniaPrekladu->setVisible(assigned);

    btnPreKombinacie->setVisible(prekladatelChosen());
    loadObjBalance();
}

void TfrmEPrekladyPridaj::ShowPaymentMethod()
{
    const QString text = prekladatelChosen() ? VariantToText(eDBPrekladatel->keyValue(2)) : QString();
    if (text.isEmpty())
        eDBPreSposobPlatby->Clear();
    else
        eDBPreSposobPlatby->setEditText(text);
}

void TfrmEPrekladyPridaj::zadanieEntered()
{
    if (eDBDatumZadaniaPrekladatelovi->IsEmpty() && prekladatelChosen()) {
        eDBDatumZadaniaPrekladatelovi->setDate(Clock::today());
        eDBDatumZadaniaPrekladatelovi->selectAll();
    }
}

void TfrmEPrekladyPridaj::objednavatelLeft()
{
    ApplyVisibility();
    if (eDBObjednavatel->keyValue(1) != m_objednavatelAtEntry)
        onObjednavatelChanged();
}

void TfrmEPrekladyPridaj::prekladatelLeft()
{
    checkPrekladatelWorkload();
    loadPreBalance();
    ShowPaymentMethod();
    if (eDBPrekladatel->keyValue(1) != m_prekladatelAtEntry)
        onPrekladatelChanged();
}

// ---- save --------------------------------------------------------------------------------

bool TfrmEPrekladyPridaj::refuseZeroRate(const PriceGroup& g)
{
    // The server divides the price by the rate: with no price there is nothing
    // to divide (SaveRecord sends no price then), with a price a rate of 0 fails.
    if (decimalOf(g.kurz).units() != 0 || decimalOf(g.cenaMJ).units() == 0)
        return false;
    DataControl::of(g.kurz)->whileRed([] {
        return RedMessageDlg(QStringLiteral("Kurz meny nesmie byť nula."), msg::Error, {msg::OK}, 0, msg::OK);
    });
    g.kurz->setFocus(Qt::OtherFocusReason);
    g.kurz->selectAll();
    return true;
}

void TfrmEPrekladyPridaj::Zapis(QPushButton* originator)
{
    // An error the error translation does not know goes to the program's
    // handler; the editor stays open.
    runReportingUnexpected([&] { save(originator); });
}

void TfrmEPrekladyPridaj::save(QPushButton* originator)
{
    if (CheckControls(this))
        return;
    // The time edit takes no part in CheckControls; the deadline needs it, and
    // a time typed without leaving the field counts.
    if (eDBTerminTime->isVisible() && eDBTerminTime->runExitCheck())
        return;
    if (refuseZeroRate(objGroup()) || refuseZeroRate(preGroup()))
        return;
    // Both rates are set by now, or the group has no price at all.
    const auto eur = [](const PriceTotals& t) { return t.totalEur.value_or(t.total); };
    const bool pricesTouched = Mode == TFormDetails::Insert || priceSignature() != m_pricesAtShow;
    if (pricesTouched && eur(objTotals()) < eur(preTotals())) {
        const int answer = RedMessageDlg(QStringLiteral("Cena za preklad prevyšuje cenu pre objednávateľa!\r\n\r\n"
                                                        "Želáte si uložiť preklad aj napriek tomu?"),
                                         msg::Confirmation, {msg::Yes, msg::No}, 0, msg::No);
        if (answer != msg::Yes)
            return;
    }
    Save(originator);
}

QVariantMap TfrmEPrekladyPridaj::recordValues() const
{
    QVariantMap p;
    p[QStringLiteral("JEDIN")] = Current;
    p[QStringLiteral("ZNACKA")] = TextParam(eDBZnacka->text());
    p[QStringLiteral("NAZOV")] = TextParam(eDBNazov->toPlainText());
    p[QStringLiteral("PM")] = TextParam(eDBPM->text());
    p[QStringLiteral("DATUM_ZADANIA_PREKLADATELOVI")] = dateParam(eDBDatumZadaniaPrekladatelovi);
    p[QStringLiteral("DATUM_DODANIA_PREKLADU")] = dateParam(eDBDatumDodaniaPrekladu);
    p[QStringLiteral("DATUM_ODOSLANIA_PREKLADU")] = dateParam(eDBDatumOdoslaniaPrekladu);
    const QTime time = eDBTerminTime->time().isValid() ? eDBTerminTime->time() : QTime(0, 0);
    p[QStringLiteral("TERMIN")] =
        eDBTerminDate->IsEmpty() ? QVariant() : QVariant(QDateTime(eDBTerminDate->date(), time));
    p[QStringLiteral("JAZYKOVA_KOMBINACIA")] = keyParam(eDBJazykovaKombinacia);

    const auto group = [&p](const QString& prefix, const PriceGroup& g, const TIBEdit* mena, const TIBComboBox* mj,
                            const TIBEdit* faktura) {
        // A group without a price and with a rate of 0 sends no price: the
        // server's trigger gives empty totals for it instead of dividing 0 by 0.
        const bool noPrice = decimalOf(g.cenaMJ).units() == 0 && decimalOf(g.kurz).units() == 0;
        p[prefix + QStringLiteral("CENA_MJ")] = noPrice ? QVariant() : decimalParam(g.cenaMJ);
        p[prefix + QStringLiteral("MJ")] = keyParam(mj);
        p[prefix + QStringLiteral("MENA")] = TextParam(mena->text());
        p[prefix + QStringLiteral("KURZ")] = decimalParam(g.kurz);
        p[prefix + QStringLiteral("KOEFICIENT")] = decimalParam(g.koeficient);
        p[prefix + QStringLiteral("ROZSAH")] = decimalParam(g.rozsah);
        p[prefix + QStringLiteral("FAKTURA")] = TextParam(faktura->text());
    };
    p[QStringLiteral("OBJEDNAVATEL")] = keyParam(eDBObjednavatel);
    group(QStringLiteral("OBJ_"), objGroup(), eDBObjMena, eDBObjMJ, eDBObjFaktura);
    p[QStringLiteral("PREKLADATEL")] = keyParam(eDBPrekladatel);
    group(QStringLiteral("PRE_"), preGroup(), eDBPreMena, eDBPreMJ, eDBPreFaktura);
    p[QStringLiteral("POZNAMKA")] = TextParam(eDBPoznamka->toPlainText());

    // A hidden rating (no delivery, a combination that is not rated) is not saved.
    const bool rated = !eHodnoteny->isHidden() && eHodnoteny->isChecked();
    p[QStringLiteral("HODNOTENY")] = rated ? 1 : 0;
    p[QStringLiteral("HODNOTENIE")] = rated ? QVariant(int(eHodnotenie->Value())) : QVariant();
    return p;
}

void TfrmEPrekladyPridaj::SaveRecord(fb::Transaction& transaction, bool isNew)
{
    const QVariantMap p = valuesToSave();
    fb::Query q(transaction);
    q.setSql(isNew ? kInsertJob : kUpdateJob);
    q.setParams(p);
    q.execute();
    // Another workstation deleted the job meanwhile: the update changed
    // nothing, which must not close the editor as if it had saved.
    if (!isNew && q.rowsAffected() == 0)
        throw fb::Error(LoadMessageText(QStringLiteral("ERR1012")).trimmed());
}

QString TfrmEPrekladyPridaj::columnCaption(const QString& column) const
{
    return JobColumnCaption(column);
}

QString TfrmEPrekladyPridaj::JobColumnCaption(const QString& column)
{
    static const QHash<QString, QString> captions = {
        {QStringLiteral("ZNACKA"), QStringLiteral("Značka")},
        {QStringLiteral("DATUM_PRIJATIA"), QStringLiteral("Preklad prijatý")},
        {QStringLiteral("NAZOV"), QStringLiteral("Názov")},
        {QStringLiteral("PM"), QStringLiteral("PM")},
        {QStringLiteral("DATUM_ZADANIA_PREKLADATELOVI"), QStringLiteral("Zadanie")},
        {QStringLiteral("DATUM_DODANIA_PREKLADU"), QStringLiteral("Dodanie prekladu")},
        {QStringLiteral("DATUM_ODOSLANIA_PREKLADU"), QStringLiteral("Odoslanie prekladu")},
        {QStringLiteral("TERMIN"), QStringLiteral("Termín")},
        {QStringLiteral("JAZYKOVA_KOMBINACIA"), QStringLiteral("Jazyková kombinácia")},
        {QStringLiteral("OBJEDNAVATEL"), QStringLiteral("Objednávateľ")},
        {QStringLiteral("OBJ_CENA_MJ"), QStringLiteral("Objednávateľ: cena za MJ")},
        {QStringLiteral("OBJ_MJ"), QStringLiteral("Objednávateľ: merná jednotka")},
        {QStringLiteral("OBJ_MENA"), QStringLiteral("Objednávateľ: mena")},
        {QStringLiteral("OBJ_KURZ"), QStringLiteral("Objednávateľ: kurz")},
        {QStringLiteral("OBJ_KOEFICIENT"), QStringLiteral("Objednávateľ: koeficient")},
        {QStringLiteral("OBJ_ROZSAH"), QStringLiteral("Objednávateľ: rozsah")},
        {QStringLiteral("OBJ_FAKTURA"), QStringLiteral("Faktúra")},
        {QStringLiteral("PREKLADATEL"), QStringLiteral("Prekladateľ")},
        {QStringLiteral("PRE_CENA_MJ"), QStringLiteral("Prekladateľ: cena za MJ")},
        {QStringLiteral("PRE_MJ"), QStringLiteral("Prekladateľ: merná jednotka")},
        {QStringLiteral("PRE_MENA"), QStringLiteral("Prekladateľ: mena")},
        {QStringLiteral("PRE_KURZ"), QStringLiteral("Prekladateľ: kurz")},
        {QStringLiteral("PRE_KOEFICIENT"), QStringLiteral("Prekladateľ: koeficient")},
        {QStringLiteral("PRE_ROZSAH"), QStringLiteral("Prekladateľ: rozsah")},
        {QStringLiteral("PRE_FAKTURA"), QStringLiteral("Vyplatené")},
        {QStringLiteral("POZNAMKA"), QStringLiteral("Poznámka")},
        {QStringLiteral("HODNOTENY"), QStringLiteral("Hodnotený")},
        {QStringLiteral("HODNOTENIE"), QStringLiteral("Hodnotenie")},
    };
    return captions.value(column, column);
}

QString TfrmEPrekladyPridaj::columnText(const QString& column, const QVariant& value) const
{
    // A record number means nothing to the user: the name it stands for.
    static const QHash<QString, QString> names = {
        {QStringLiteral("OBJEDNAVATEL"), QStringLiteral("select nazov_uplny from adresar where jedin = :K")},
        {QStringLiteral("PREKLADATEL"), QStringLiteral("select nazov_uplny from adresar where jedin = :K")},
        {QStringLiteral("JAZYKOVA_KOMBINACIA"), QStringLiteral("select skratka from jazykove_kombinacie where jedin = :K")},
        {QStringLiteral("OBJ_MJ"), QStringLiteral("select skratka from merne_jednotky where jedin = :K")},
        {QStringLiteral("PRE_MJ"), QStringLiteral("select skratka from merne_jednotky where jedin = :K")},
    };
    const QString sql = names.value(column);
    if (sql.isEmpty() || !IsSetValue(value))
        return TFormEditor::columnText(column, value);
    QVariant name;
    RunInTransaction(
        [&](fb::Transaction& tr) {
            fb::Query q(tr);
            q.setSql(sql);
            q.setParam(QStringLiteral("K"), value);
            name = q.executeScalar();
        },
        true);
    return TFormEditor::columnText(column, IsSetValue(name) ? name : value);
}

QString TfrmEPrekladyPridaj::priceSignature() const
{
    const auto text = [](const PriceTotals& t) {
        return t.total.toString() + QLatin1Char('/') + (t.totalEur ? t.totalEur->toString() : QString());
    };
    return text(objTotals()) + QLatin1Char(';') + text(preTotals());
}
