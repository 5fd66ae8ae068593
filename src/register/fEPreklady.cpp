#include "register/fEPreklady.h"

#include "controls/DataControl.h"
#include "controls/DbGridQDL.h"
#include "controls/IBComboBox.h"
#include "controls/IBEdit.h"
#include "controls/QDLBtn.h"
#include "controls/RegisterRefresh.h"
#include "framework/Clock.h"
#include "framework/SlotGuard.h"
#include "framework/TextHelpers.h"
#include "framework/UiHelpers.h"
#include "register/PriceCalc.h"
#include "register/fEPrekladyPridaj.h"
#include "register/fEPrekladyUhrady.h"
#include "register/fHistoriaPrekladu.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QString kJedin = QStringLiteral("JEDIN");

// The choice list of the three date filters.
enum DateFilter { Vsetky = 0, Prazdny = 1, Zadany = 2 };

TQDLColumn column(const char* field, const QString& title, int width, const char* orderBy,
                  Qt::Alignment alignment = Qt::AlignLeft, const char* format = "")
{
    TQDLColumn c;
    c.FieldName = QString::fromLatin1(field);
    c.TitleCaption = title;
    c.Width = width;
    c.OrderBy = QString::fromLatin1(orderBy);
    c.Alignment = alignment;
    c.DisplayFormat = QString::fromLatin1(format);
    return c;
}

std::vector<TQDLColumn> registerColumns()
{
    const char* money = ",0.00";
    return {
        column("ZNACKA", QStringLiteral("Značka"), 71, "a.ZNACKA"),
        column("OBJEDNAVATEL", QStringLiteral("Objednávateľ"), 93, "b.meno"),
        column("JAZYKOVA_KOMBINACIA", QStringLiteral("Jazyk"), 61, "D.SKRATKA", Qt::AlignHCenter),
        column("TERMIN", QStringLiteral("Termín"), 103, "a.termin", Qt::AlignHCenter, "dd.mm.yyyy hh:nn:ss"),
        column("DATUM_ZADANIA_PREKLADATELOVI", QStringLiteral("Zadané"), 65, "a.DATUM_ZADANIA_PREKLADATELOVI",
               Qt::AlignHCenter, "dd.mm.yyyy"),
        column("DATUM_DODANIA_PREKLADU", QStringLiteral("Dodané"), 71, "a.DATUM_DODANIA_PREKLADU", Qt::AlignHCenter,
               "dd.mm.yyyy"),
        column("DATUM_ODOSLANIA_PREKLADU", QStringLiteral("Odoslané"), 67, "a.DATUM_ODOSLANIA_PREKLADU",
               Qt::AlignHCenter, "dd.mm.yyyy"),
        column("STAV", QStringLiteral("S"), 20, "1", Qt::AlignRight),
        column("PREKLADATEL", QStringLiteral("Prekladateľ"), 88, "c.meno"),
        column("PM", QString(), 20, "a.pm", Qt::AlignHCenter),
        column("OBJ_CENA", QStringLiteral("OC v CM"), 55, "a.obj_cena", Qt::AlignRight, money),
        column("OBJ_MENA", QStringLiteral("Mena"), 32, "a.obj_mena"),
        column("OBJ_CENA_SKK", QStringLiteral("OC v €"), 55, "a.obj_cena_skk", Qt::AlignRight, money),
        column("PRE_CENA", QStringLiteral("PC v CM"), 55, "a.pre_cena", Qt::AlignRight, money),
        column("PRE_MENA", QStringLiteral("Mena"), 32, "a.pre_mena"),
        column("PRE_CENA_SKK", QStringLiteral("PC v €"), 55, "a.pre_cena_skk", Qt::AlignRight, money),
    };
}

TIBComboBox* addressCombo(const QString& name, const QString& where)
{
    auto* c = new TIBComboBox;
    c->setObjectName(name);
    c->setSTableName(QStringLiteral("adresar"));
    c->setSKeyField(QStringLiteral("jedin"));
    c->setSAppendFromField(QStringLiteral("nazov_uplny"));
    c->setSOrderBy(QStringLiteral("nazov_uplny"));
    c->setSWhere(where);
    c->setSUseBasicASCIIColumn(true);
    c->setSSearchIfFound(true);
    c->setSAutoAppend(true);
    c->setSetFocusIfNotFound(true);
    c->setSNotFoundErrorText(1019);
    c->setSTimerInterval(500);
    c->setDropDownCount(30);
    c->setMaxLength(75);
    return c;
}

TIBComboBox* dateFilterCombo(const QString& name)
{
    auto* c = new TIBComboBox;
    c->setObjectName(name);
    c->setSTableName(QStringLiteral("ponuky"));
    c->setSKeyField(QStringLiteral("cislo"));
    c->setSAppendFromField(QStringLiteral("text"));
    c->setSOrderBy(QStringLiteral("poradie"));
    c->setSWhere(QStringLiteral("zaradenie='filter_datum'"));
    c->setSAutoAppend(true);  // the filter is set by its key (FindIt)
    return c;
}

int comboKey(const TIBComboBox* c)
{
    const QVariant key = c->SKeyValue();
    return key.isValid() && !key.isNull() ? key.toInt() : Vsetky;
}

}  // namespace

TfrmEPreklady::TfrmEPreklady(Windows windows, QWidget* parent)
    : TFormViewer(parent), m_windows(std::move(windows))
{
    setWindowTitle(QStringLiteral("Lindavo"));
    resize(1000, 307);
    setMinimumSize(1000, 307);

    // The toolbar's buttons are this window's members tb, btnPridaj, ...
    const ListButtons buttons = ListButtons(ListButton::Pridaj) | ListButton::Kopia | ListButton::Oprav |
                                ListButton::Vymaz | ListButton::Tlac | ListButton::Smer | ListButton::FilterZrus |
                                ListButton::Hladaj | ListButton::Oznacene | ListButton::Oznac | ListButton::Odznac |
                                ListButton::Refresh;
    static_cast<TListToolbar&>(*this) = BuildListToolbar(this, buttons);
    tbtHladaj = btnHladaj;
    tbtHladaj->setObjectName(QStringLiteral("tbtHladaj"));
    btnFaktura = AddToolbarButton(tb, QStringLiteral("btnFaktura"), 25);
    btnFaktura->setToolTip(QStringLiteral("Hromadné zadanie úhrady (H)"));
    // Until its window is installed, print is not offered.
    btnTlac->setVisible(bool(m_windows.reportMenu));
    if (!m_windows.editor)
        m_windows.editor = [pm = m_windows.userAbbreviation,
                            windows = m_windows.editorWindows]() -> std::unique_ptr<TFormEditor> {
            return std::make_unique<TfrmEPrekladyPridaj>(pm, windows);
        };

    buildFilterPanel();
    buildGrid();
    buildStatusBar();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tb);
    layout->addWidget(pnlFilter);
    layout->addWidget(gr1, 1);
    layout->addWidget(sbStatus);
    // At least as wide as the filter panel needs: its labels are never cut.
    const QSize least = QSize(pnlFilter->minimumSizeHint().width(), 307).expandedTo(QSize(1000, 307));
    resize(least);
    setMinimumSize(least);

    m_refresh = std::make_unique<TRegisterRefresh>(gr1, QStringList(), QStringLiteral("preklady"));
    m_refresh->btnOznacene = btnOznacene;
    m_refresh->btnSmer = btnSmer;
    m_refresh->pnlFilter = pnlFilter;
    m_refresh->statement = [this](const QString& marked, const QString& orderBy, QVariantMap& params) {
        const fb::Statement s = PrekladyRefreshStatement(filterValues(), marked, orderBy);
        params.insert(s.params);
        return s.lines;
    };
    m_refresh->afterOpen = [this] { sumRows(); };
    // The panel is always shown: leaving it for the grid or the toolbar applies it.
    m_refresh->watchPanel();

    gr1->OnDisplayGrid = [this] {
        runReportingUnexpected([this] { m_refresh->Refresh(); });
        showTotals();
    };
    gr1->OnKeyDown = [this](QKeyEvent* e) { return gridKey(e); };
    connect(gr1, &QAbstractItemView::doubleClicked, this, guarded([this] {
        if (Mode == TFormDetails::Select)
            accept();
        else
            EditAction();
    }));
    connectButtons();
    // The window's own menu entries; the grid appends its items below them.
    gr1->PopupMenu = new QMenu(gr1);
    actHistoria = gr1->PopupMenu->addAction(QStringLiteral("História prekladu\tF9"));
    actHistoria->setObjectName(QStringLiteral("actHistoria"));
    connect(actHistoria, &QAction::triggered, this, guarded([this] { HistoryAction(); }));
    actHistoriaVymazanych = gr1->PopupMenu->addAction(QStringLiteral("História vymazaných prekladov\tCtrl+F9"));
    actHistoriaVymazanych->setObjectName(QStringLiteral("actHistoriaVymazanych"));
    connect(actHistoriaVymazanych, &QAction::triggered, this, guarded([this] { DeletedHistoryAction(); }));
    gr1->Loaded();
    resetFilter();
    eTermin->setCurrentIndex(int(m_windows.termin.value_or(DeadlineFilter::All)));
    gr1->DisplayGrid();
}

TfrmEPreklady::~TfrmEPreklady() = default;

void TfrmEPreklady::buildFilterPanel()
{
    pnlFilter = new QWidget(this);
    pnlFilter->setObjectName(QStringLiteral("pnlFilter"));
    eObjednavatel = addressCombo(QStringLiteral("eObjednavatel"), QStringLiteral("typ=0"));
    ePrekladatel = addressCombo(QStringLiteral("ePrekladatel"), QStringLiteral("typ=1"));
    eZadanie = dateFilterCombo(QStringLiteral("eZadanie"));
    eDodanie = dateFilterCombo(QStringLiteral("eDodanie"));
    eOdoslanie = dateFilterCombo(QStringLiteral("eOdoslanie"));
    eObjFaktura = new QCheckBox(QStringLiteral("Iba nefaktúrované:"));
    eObjFaktura->setObjectName(QStringLiteral("eObjFaktura"));
    eObjFaktura->setLayoutDirection(Qt::RightToLeft);  // the box after its caption
    ePreFaktura = new QCheckBox(QStringLiteral("Iba nevyplatené:"));
    ePreFaktura->setObjectName(QStringLiteral("ePreFaktura"));
    ePreFaktura->setLayoutDirection(Qt::RightToLeft);
    ePM = new TIBEdit;
    ePM->setObjectName(QStringLiteral("ePM"));
    ePM->setMaxLength(2);
    ePM->setToolTip(QStringLiteral("Projektový manažér"));
    connect(ePM, &QLineEdit::textEdited, ePM, [this](const QString& text) {
        const int at = ePM->cursorPosition();
        ePM->setText(text.toUpper());
        ePM->setCursorPosition(at);
    });
    eText = new TIBEdit;
    eText->setObjectName(QStringLiteral("eText"));
    eTermin = new QComboBox;
    eTermin->setObjectName(QStringLiteral("eTermin"));
    for (DeadlineFilter f : {DeadlineFilter::All, DeadlineFilter::Late, DeadlineFilter::Today, DeadlineFilter::Tomorrow})
        eTermin->addItem(DeadlineFilterText(f));
    eTermin->setToolTip(QStringLiteral("Neodoslané preklady po termíne, s termínom dnes alebo zajtra"));
    btnRefresh2 = new TQDLBtn(QStringLiteral("Obnov"));
    btnRefresh2->setObjectName(QStringLiteral("btnRefresh2"));
    QFont bold = btnRefresh2->font();
    bold.setBold(true);
    btnRefresh2->setFont(bold);

    const QFont courier = dataControlFont();
    for (QWidget* w : std::initializer_list<QWidget*>{eObjednavatel, ePrekladatel, eZadanie, eDodanie, eOdoslanie,
                                                      ePM, eText, eTermin})
        w->setFont(courier);

    auto* grid = new QGridLayout(pnlFilter);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    const auto label = [&](const QString& text, QWidget* buddy, int row, int col) {
        auto* l = new QLabel(text);
        l->setBuddy(buddy);
        grid->addWidget(l, row, col, Qt::AlignRight);
        grid->addWidget(buddy, row, col + 1);
    };
    label(QStringLiteral("Objednávateľ:"), eObjednavatel, 0, 0);
    label(QStringLiteral("Prekladateľ:"), ePrekladatel, 1, 0);
    label(QStringLiteral("Zadanie prekl.:"), eZadanie, 0, 2);
    label(QStringLiteral("Dodanie prekladu:"), eDodanie, 1, 2);
    label(QStringLiteral("Odoslanie prekladu:"), eOdoslanie, 0, 4);
    grid->addWidget(eObjFaktura, 1, 4, 1, 2, Qt::AlignLeft);
    label(QStringLiteral("PM:"), ePM, 0, 6);
    grid->addWidget(ePreFaktura, 1, 6, 1, 2, Qt::AlignLeft);
    label(QStringLiteral("Názov, pozn.:"), eText, 0, 8);
    auto* lblTermin = new QLabel(QStringLiteral("Termín:"));
    lblTermin->setBuddy(eTermin);
    grid->addWidget(lblTermin, 1, 8, Qt::AlignRight);
    auto* terminRow = new QHBoxLayout;
    terminRow->addWidget(eTermin, 1);
    terminRow->addWidget(btnRefresh2);
    grid->addLayout(terminRow, 1, 9);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    grid->setColumnStretch(5, 2);
    grid->setColumnStretch(9, 3);
    ePM->setFixedWidth(QFontMetrics(courier).horizontalAdvance(QStringLiteral("WWW")) + 12);

    // A date filter left empty means "všetky".
    for (TIBComboBox* c : {eZadanie, eDodanie, eOdoslanie})
        connect(c, &TIBComboBox::OnExit, this, guarded([c] {
                    if (c->currentText().trimmed().isEmpty())
                        c->FindIt(Vsetky);
                }));
    // "Obnov" only leaves the panel, which applies the filter.
    connect(btnRefresh2, &QPushButton::clicked, this, [this] { gr1->setFocus(); });
}

void TfrmEPreklady::buildGrid()
{
    gr1 = new TDbGridQDL(this);
    gr1->setObjectName(QStringLiteral("gr1"));
    gr1->Title = QStringLiteral("Preklady");
    gr1->SetColumns(registerColumns());
    gr1->SetActiveTitleIndex(4);  // "Termín"
    gr1->OnDrawColumnCell = [this](QPainter*, const QRect&, int, const TQDLColumn& c, const TGridCellState& s,
                                   TGridCellColors& colors) {
        const auto value = [&](const char* field) { return gr1->gridModel()->fieldValue(s.row, QLatin1String(field)); };
        const auto person = [&](const char* finished, const char* dateNeeded, const char* colour) {
            if (value(finished).toInt() == 1)
                colors.strikeOut = true;
            else if (value(dateNeeded).isNull())
                colors.text = Qt::red;
            const QVariant farba = value(colour);
            if (!farba.isNull() && !s.selected && !s.marked)
                colors.background = ColorFromDelphi(farba.toInt());
        };
        if (c.FieldName == QLatin1String("PREKLADATEL"))
            person("PRE_UKONCENE", "DATUM_DODANIA_PREKLADU", "PRE_FARBA");
        else if (c.FieldName == QLatin1String("OBJEDNAVATEL"))
            person("OBJ_UKONCENE", "DATUM_ZADANIA_PREKLADATELOVI", "OBJ_FARBA");
        else if (c.FieldName == QLatin1String("STAV"))
            if (const auto colour = StateColour(value("STAV")))
                colors.background = *colour;
    };
}

void TfrmEPreklady::buildStatusBar()
{
    sbStatus = new QStatusBar(this);
    sbStatus->setObjectName(QStringLiteral("sbStatus"));
    sbStatus->setSizeGripEnabled(false);
    for (size_t i = 0; i < sbPanels.size(); ++i) {
        sbPanels[i] = new QLabel(sbStatus);
        sbPanels[i]->setObjectName(QStringLiteral("sbPanel%1").arg(i));
        sbStatus->addWidget(sbPanels[i]);
    }
}

std::optional<QColor> TfrmEPreklady::StateColour(const QVariant& stav)
{
    if (stav.isNull() || !stav.isValid())
        return std::nullopt;
    const int days = stav.toInt();
    if (days == 1)
        return ColorFromDelphi(9685241);  // light orange: due tomorrow
    if (days <= 0)
        return ColorFromDelphi(255);  // red: due today or overdue
    return std::nullopt;
}

PrekladyFilter TfrmEPreklady::filterValues() const
{
    PrekladyFilter f;
    f.objednavatel = eObjednavatel->SKeyValue();
    f.prekladatel = ePrekladatel->SKeyValue();
    f.zadanie = comboKey(eZadanie);
    f.dodanie = comboKey(eDodanie);
    f.odoslanie = comboKey(eOdoslanie);
    f.ibaNefakturovane = eObjFaktura->isChecked();
    f.ibaNevyplatene = ePreFaktura->isChecked();
    f.pm = ePM->text();
    f.text = eText->text();
    f.termin = DeadlineFilter(std::max(eTermin->currentIndex(), 0));
    f.dnes = Clock::today();
    return f;
}

void TfrmEPreklady::ClearFilter()
{
    resetFilter();
    gr1->DisplayGrid();
}

void TfrmEPreklady::resetFilter()
{
    eObjednavatel->Clear();
    ePrekladatel->Clear();
    eZadanie->FindIt(Vsetky);
    eDodanie->FindIt(Vsetky);
    eOdoslanie->FindIt(Prazdny);
    ePM->clear();
    eText->clear();
    eTermin->setCurrentIndex(int(DeadlineFilter::All));
}

const QString& TfrmEPreklady::direction() const
{
    return m_refresh->direction;
}

void TfrmEPreklady::sumRows()
{
    // Exact sums: 100 000 prices in binary floating point would drift by cents.
    MoneySum objCena, objCenaEur, preCena, preCenaEur;
    CurrencySums objByCurrency, preByCurrency;
    const TGridModel* m = gr1->gridModel();
    const int rows = m->rowCount();
    const int cObj = m->fieldIndex(QStringLiteral("OBJ_CENA"));
    const int cObjMena = m->fieldIndex(QStringLiteral("OBJ_MENA"));
    const int cObjEur = m->fieldIndex(QStringLiteral("OBJ_CENA_SKK"));
    const int cPre = m->fieldIndex(QStringLiteral("PRE_CENA"));
    const int cPreMena = m->fieldIndex(QStringLiteral("PRE_MENA"));
    const int cPreEur = m->fieldIndex(QStringLiteral("PRE_CENA_SKK"));
    for (int row = 0; row < rows; ++row) {
        const QVariant obj = m->fieldValue(row, cObj);
        const QVariant pre = m->fieldValue(row, cPre);
        objCena.add(obj);
        objCenaEur.add(m->fieldValue(row, cObjEur));
        preCena.add(pre);
        preCenaEur.add(m->fieldValue(row, cPreEur));
        objByCurrency.add(m->fieldValue(row, cObjMena).toString(), obj);
        preByCurrency.add(m->fieldValue(row, cPreMena).toString(), pre);
    }
    m_totals = {rows,          objCena.value(), objCenaEur.value(), preCena.value(), preCenaEur.value(),
                objByCurrency, preByCurrency};
    // The walk ends on the last row; that is where the cursor stays when the
    // record held before is gone.
    if (rows > 0)
        gr1->setCurrentRow(rows - 1);
}

void TfrmEPreklady::showTotals()
{
    const auto money = [](const fb::Decimal& d) {
        return FormatDisplayValue(QVariant::fromValue(d), QStringLiteral(",0.00")).rightJustified(9);
    };
    const QStringList texts = {
        QStringLiteral("Počet prekladov: %1").arg(m_totals.count),
        QStringLiteral("OC v CM spolu: %1").arg(m_totals.objByCurrency.text(money)),
        QStringLiteral("OC spolu: %1 €").arg(money(m_totals.objCenaEur)),
        QStringLiteral("PC v CM spolu: %1").arg(m_totals.preByCurrency.text(money)),
        QStringLiteral("PC spolu: %1 €").arg(money(m_totals.preCenaEur)),
    };
    for (int i = 0; i < texts.size(); ++i)
        sbPanels[size_t(i)]->setText(texts[i]);
    FitStatusPanels(sbStatus);
    // Totals in several currencies are longer: the window widens (as far as
    // the screen allows) rather than letting the panels run into each other.
    int needed = 0;
    for (const QLabel* panel : sbPanels)
        needed += panel->width() + 8;
    const QScreen* sc = screen();
    const int most = sc ? sc->availableGeometry().width() : needed;
    if (needed > width())
        resize(std::min(needed, most), height());
}

void TfrmEPreklady::connectButtons()
{
    TListActions actions;
    actions.add = [this] { AddAction(); };
    actions.copy = [this] { CopyAction(); };
    actions.edit = [this] { EditAction(); };
    actions.remove = [this] { DeleteAction(); };
    actions.print = [this] {
        if (m_windows.reportMenu)
            m_windows.reportMenu();
    };
    actions.clearFilter = [this] { resetFilter(); };
    ConnectListToolbar(this, *this, gr1, *m_refresh, actions);
    connect(btnFaktura, &QAction::triggered, this, guarded([this] {
                if (!gr1->isOpen() || !RunUhrady(gr1, m_windows.bulkEntry))
                    return;
                // Every mark went into the batch, also those the filter hides.
                gr1->ClearChecked();
                gr1->DisplayGrid();
            }));
}

bool TfrmEPreklady::gridKey(QKeyEvent* e)
{
    if (Mode == TFormDetails::Select && isEnterKey(e) && ShiftCtrlAlt(e) == Qt::NoModifier) {
        if (gr1->isOpen() && !gr1->isEmpty())
            accept();
        return true;
    }
    if (e->key() == Qt::Key_H && ShiftCtrlAlt(e) == Qt::NoModifier && btnFaktura->isVisible() &&
        btnFaktura->isEnabled()) {
        btnFaktura->trigger();
        return true;
    }
    if (e->key() == Qt::Key_F9 && ShiftCtrlAlt(e) == Qt::NoModifier) {
        HistoryAction();
        return true;
    }
    if (e->key() == Qt::Key_F9 && ShiftCtrlAlt(e) == Qt::ControlModifier) {
        DeletedHistoryAction();
        return true;
    }
    return HandleListToolbarKey(*this, e);
}

bool TfrmEPreklady::keyPreview(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape && ShiftCtrlAlt(e) == Qt::NoModifier) {
        reject();
        return true;
    }
    return TFormViewer::keyPreview(e);
}

void TfrmEPreklady::showEvent(QShowEvent* event)
{
    TFormViewer::showEvent(event);
    if (!gr1->isOpen())
        gr1->DisplayGrid();
    gr1->setFocus();
}

void TfrmEPreklady::SetDetails(TFormDetails& details)
{
    RunModal(details, {}, [this] { return gr1->isOpen() && !gr1->isEmpty() ? gr1->fieldValue(kJedin) : QVariant(); });
}

// One editor serves a whole loop: after "save and next" it keeps the mark,
// title, deadline and customer for the next job.
void TfrmEPreklady::AddAction()
{
    const std::unique_ptr<TFormEditor> editor = m_windows.editor();
    AddRecords(*this, gr1, [&](TFormDetails& d) { editor->SetDetails(d); });
}

void TfrmEPreklady::editLoop(std::uint8_t mode)
{
    if (!gr1->isOpen() || gr1->isEmpty())
        return;
    const std::unique_ptr<TFormEditor> editor = m_windows.editor();
    EditRecords(*this, gr1, [&](TFormDetails& d) {
        d.Mode = mode;
        editor->SetDetails(d);
    });
}

void TfrmEPreklady::EditAction()
{
    editLoop(TFormDetails::Edit);
}

void TfrmEPreklady::CopyAction()
{
    editLoop(TFormDetails::Copy);
}

bool TfrmEPreklady::DeleteAction()
{
    return m_refresh->DeleteAction();
}

void TfrmEPreklady::HistoryAction()
{
    if (!gr1->isOpen() || gr1->isEmpty())
        return;
    const QVariant job = gr1->fieldValue(kJedin);
    QString title = QStringLiteral("História prekladu č. %1").arg(job.toString());
    const QString znacka = gr1->fieldValue(QStringLiteral("ZNACKA")).toString().trimmed();
    if (!znacka.isEmpty())
        title += QStringLiteral(" (%1)").arg(znacka);
    ShowJobHistory(job, title, this);
}

void TfrmEPreklady::DeletedHistoryAction()
{
    ShowDeletedJobs(this);
}

void RunEPreklady(TfrmEPreklady::Windows windows)
{
    TFormDetails d;
    InitDetails(d, TFormDetails::Browse, {});
    RunViewer<TfrmEPreklady>(d, std::move(windows));
}
