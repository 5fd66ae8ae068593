#include "codelists/fCAdresar.h"

#include "codelists/AdresarSql.h"
#include "codelists/fCAdresarPridaj.h"
#include "codelists/fCKombinaciePridaj.h"
#include "controls/DbGridQDL.h"
#include "controls/IBComboBox.h"
#include "controls/IBEdit.h"
#include "controls/QDLBtn.h"
#include "controls/RegisterRefresh.h"
#include "forms/FormEditor.h"
#include "framework/SlotGuard.h"
#include "framework/TextHelpers.h"
#include "framework/UiHelpers.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QString kJedin = QStringLiteral("JEDIN");

TQDLColumn column(const char* field, const QString& title, int width, const char* orderBy,
                  Qt::Alignment alignment = Qt::AlignLeft, const char* format = "", bool autoSize = true)
{
    TQDLColumn c;
    c.FieldName = QString::fromLatin1(field);
    c.TitleCaption = title;
    if (width > 0)
        c.Width = width;
    c.OrderBy = QString::fromLatin1(orderBy);
    c.Alignment = alignment;
    c.DisplayFormat = QString::fromLatin1(format);
    c.AutoSizeAlignment = autoSize;
    return c;
}

std::vector<TQDLColumn> contactColumns()
{
    return {
        column("MENO", QStringLiteral("Priezvisko a meno"), 232, "a.meno"),
        column("EMAIL", QStringLiteral("e-mail"), 177, "a.email"),
        column("TEL1", QStringLiteral("Telefón 1"), 166, "a.tel1"),
        column("TEL2", QStringLiteral("Telefón 2"), 154, "a.tel2"),
        column("CENA", QStringLiteral("Cena"), 59, "6", Qt::AlignRight, ",0.00"),
        column("MENA", QStringLiteral("Mena"), 0, "7"),
        column("MJ", QStringLiteral("MJ"), 69, "8"),
        // Wide enough for their title and a whole date in this platform's font.
        column("HODNOTENIE", QStringLiteral("Hodn.%"), 56, "9", Qt::AlignRight, ",0.00", false),
        column("DATUM_DODANIA_PREKLADU", QStringLiteral("Posl. preklad"), 86, "10", Qt::AlignHCenter, "dd.mm.yyyy",
               false),
    };
}

std::vector<TQDLColumn> rateColumns()
{
    return {
        column("NAZOV", QStringLiteral("Jazyk. kombinácia"), 0, "B.SKRATKA"),
        column("CENA", QStringLiteral("Cena za MJ"), 76, "a.cena", Qt::AlignRight, ",0.000"),
        column("MENA", QStringLiteral("Mena"), 40, "a.mena"),
        column("MJ", QStringLiteral("Merná jednotka"), 98, "5"),
    };
}

void setupGrid(TDbGridQDL* grid, const char* name, const QString& title, std::vector<TQDLColumn> columns)
{
    grid->setObjectName(QString::fromLatin1(name));
    grid->Title = title;
    grid->SetKeyField(QStringLiteral("jedin"));
    grid->SetKeyFieldType(gktInteger);
    grid->SetCheckEnabled(true);
    grid->ReadOnly = true;
    grid->ClickTitleEnabled = true;
    grid->SetColumns(std::move(columns));
    grid->SetActiveTitleIndex(1);
}

}  // namespace

TfrmCAdresar::TfrmCAdresar(Editors editors, QWidget* parent)
    : TFormViewer(parent), m_editors(std::move(editors))
{
    if (!m_editors.contact)
        m_editors.contact = [](TFormDetails& d) { RunEditor<TfrmCAdresarPridaj>(d); };
    if (!m_editors.rate)
        m_editors.rate = [](TFormDetails& d) { RunEditor<TfrmCKombinaciePridaj>(d); };

    resize(1061, 431);
    setMinimumSize(1061, 431);

    const ListButtons buttons = ListButtons(ListButton::Pridaj) | ListButton::Oprav | ListButton::Vymaz |
                                ListButton::Smer | ListButton::FilterZrus | ListButton::Hladaj |
                                ListButton::Oznacene | ListButton::Oznac | ListButton::Odznac | ListButton::Refresh;
    static_cast<TListToolbar&>(*this) = BuildListToolbar(this, buttons);
    SetupToolbarHints(tb);

    pc1 = new QTabWidget(this);
    pc1->setObjectName(QStringLiteral("pc1"));
    tabAdresar = new QWidget;
    tabAdresar->setObjectName(QStringLiteral("tabAdresar"));
    tabKombinacie = new QWidget;
    tabKombinacie->setObjectName(QStringLiteral("tabKombinacie"));
    pc1->addTab(tabAdresar, QStringLiteral("&1. Adresár"));
    pc1->addTab(tabKombinacie, QStringLiteral("&2. Jazykové kombinácie"));

    buildFilterStrip();
    buildGrids();

    auto* first = new QVBoxLayout(tabAdresar);
    first->setContentsMargins(0, 0, 0, 0);
    first->setSpacing(0);
    first->addWidget(pFilter);
    first->addWidget(gr1, 1);
    first->addWidget(sb1);
    auto* second = new QVBoxLayout(tabKombinacie);
    second->setContentsMargins(0, 0, 0, 0);
    second->addWidget(gr2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tb);
    layout->addWidget(pc1, 1);

    m_contacts = std::make_unique<TRegisterRefresh>(gr1, QStringList(), QStringLiteral("adresar"));
    m_contacts->btnSmer = btnSmer;
    m_contacts->pnlFilter = pFilter;
    m_contacts->statement = [this](const QString&, const QString& orderBy, QVariantMap& params) {
        AdresarFilter f;
        f.translators = Flag;
        f.kombinacia = eJazykovaKombinacia->IsEmpty() ? QVariant() : eJazykovaKombinacia->SKeyValue();
        f.text = eJazykovaKombinaciaText->text();
        f.marked = markedCondition(gr1, params);
        const fb::Statement s = AdresarContactStatement(f, orderBy);
        params.insert(s.params);
        return s.lines;
    };
    m_contacts->afterOpen = [this] { contactsShown(); };
    // Leaving the strip for another control of the window applies it.
    m_contacts->watchPanel();

    m_rates = std::make_unique<TRegisterRefresh>(gr2, QStringList(), QStringLiteral("kombinacie"));
    m_rates->btnSmer = btnSmer;
    m_rates->statement = [this](const QString&, const QString& orderBy, QVariantMap& params) {
        const QVariant contact = gr1->isOpen() && !gr1->isEmpty() ? gr1->fieldValue(kJedin) : QVariant();
        const fb::Statement s = AdresarRateStatement(contact, markedCondition(gr2, params), orderBy);
        params.insert(s.params);
        return s.lines;
    };

    gr1->OnDisplayGrid = [this] {
        if (m_opening)
            return;
        updateCaption();
        m_contacts->Refresh();
    };
    gr2->OnDisplayGrid = [this] {
        if (m_opening)
            return;
        updateCaption();
        m_rates->Refresh();
    };
    for (TDbGridQDL* grid : {gr1, gr2}) {
        grid->OnKeyDown = [this](QKeyEvent* e) { return gridKey(e); };
        connect(grid, &QAbstractItemView::doubleClicked, this, guarded([this] {
                    if (Mode == TFormDetails::Select)
                        choose();
                    else
                        EditAction();
                }));
    }
    connect(pc1, &QTabWidget::currentChanged, this, guarded([this] {
                RefreshShown();
                (onRatesTab() ? gr2 : gr1)->setFocus();
            }));
    connectButtons();
    gr1->Loaded();
    gr2->Loaded();
    eJazykovaKombinacia->Clear();
    pc1->setCurrentIndex(0);
}

TfrmCAdresar::~TfrmCAdresar() = default;

void TfrmCAdresar::buildFilterStrip()
{
    pFilter = new QWidget(tabAdresar);
    pFilter->setObjectName(QStringLiteral("pFilter"));
    pFilter->setFixedHeight(25);

    eJazykovaKombinacia = new TIBComboBox(pFilter);
    eJazykovaKombinacia->setObjectName(QStringLiteral("eJazykovaKombinacia"));
    eJazykovaKombinacia->setSTableName(QStringLiteral("jazykove_kombinacie"));
    eJazykovaKombinacia->setSAppendFromField(QStringLiteral("skratka"));
    eJazykovaKombinacia->setSKeyField(QStringLiteral("jedin"));
    // Only the combinations that some contact has a rate for.
    eJazykovaKombinacia->setSWhere(QStringLiteral("jedin in (select jazykova_kombinacia from kombinacie)"));
    eJazykovaKombinacia->setSOrderBy(QStringLiteral("1"));
    eJazykovaKombinacia->setSDistinct(false);
    eJazykovaKombinacia->setSAutoAppend(true);
    eJazykovaKombinacia->setSSearchIfFound(true);
    eJazykovaKombinacia->setSNotFoundErrorText(0);
    eJazykovaKombinacia->setSetFocusIfNotFound(true);
    eJazykovaKombinacia->setRequired(false);
    eJazykovaKombinacia->setMaxLength(15);
    eJazykovaKombinacia->setDropDownCount(30);
    eJazykovaKombinacia->setSTimerInterval(500);
    eJazykovaKombinacia->setFixedWidth(150);

    eJazykovaKombinaciaText = new TIBEdit(pFilter);
    eJazykovaKombinaciaText->setObjectName(QStringLiteral("eJazykovaKombinaciaText"));
    eJazykovaKombinaciaText->setMaxLength(15);
    eJazykovaKombinaciaText->setFixedWidth(130);

    btnRefresh2 = new TQDLBtn(QStringLiteral("Obnov"), pFilter);
    btnRefresh2->setObjectName(QStringLiteral("btnRefresh2"));
    QFont bold = btnRefresh2->font();
    bold.setBold(true);
    btnRefresh2->setFont(bold);
    btnRefresh2->setIcon(ToolbarImage(4, 16));
    btnRefresh2->setAutoDefault(false);
    btnRefresh2->setFixedHeight(23);
    // "Obnov" only leaves the strip, which applies it.
    connect(btnRefresh2, &QPushButton::clicked, this, [this] { gr1->setFocus(); });

    auto* row = new QHBoxLayout(pFilter);
    row->setContentsMargins(4, 1, 4, 1);
    row->setSpacing(4);
    const auto label = [&](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, pFilter);
        l->setBuddy(buddy);
        row->addWidget(l);
        row->addWidget(buddy);
    };
    label(QStringLiteral("Jazyková kombinácia:"), eJazykovaKombinacia);
    row->addSpacing(12);
    label(QStringLiteral("Jazyková kombinácia obsahuje text:"), eJazykovaKombinaciaText);
    row->addSpacing(12);
    row->addWidget(btnRefresh2);
    row->addStretch(1);
}

void TfrmCAdresar::buildGrids()
{
    gr1 = new TDbGridQDL(tabAdresar);
    setupGrid(gr1, "gr1", QStringLiteral("Adresár"), contactColumns());
    gr2 = new TDbGridQDL(tabKombinacie);
    setupGrid(gr2, "gr2", QStringLiteral("Jazykové kombinácie"), rateColumns());

    sb1 = new QStatusBar(tabAdresar);
    sb1->setObjectName(QStringLiteral("sb1"));
    sb1->setSizeGripEnabled(false);
    sb1Panel = new QLabel(sb1);
    sb1Panel->setObjectName(QStringLiteral("sb1Panel0"));
    sb1->addWidget(sb1Panel);
}

void TfrmCAdresar::connectButtons()
{
    const auto on = [this](QAction* action, std::function<void()> body) {
        connect(action, &QAction::triggered, this, guarded(std::move(body)));
    };
    on(btnPridaj, [this] { AddAction(); });
    on(btnOprav, [this] { EditAction(); });
    on(btnVymaz, [this] { DeleteAction(); });
    on(btnSmer, [this] {
        const bool showsAscending = m_direction.isEmpty() || m_direction == QStringLiteral(" ASC");
        m_direction = showsAscending ? QStringLiteral(" DESC") : QStringLiteral(" ASC");
        SetActionImage(btnSmer, showsAscending ? 6 : 5);
        m_contacts->direction = m_rates->direction = m_direction;
        RefreshShown();
    });
    on(btnFilterZrus, [this] { ClearFilter(); });
    // The find works in the grid the user sees.
    on(btnHladaj, [this] { (onRatesTab() ? gr2 : gr1)->FindInColumn(); });
    on(btnOznacene, [this] {
        UpdateMarkedOnlyButton(gr1, btnOznacene);
        RefreshShown();
    });
    on(btnOznac, [this] { gr1->CheckAll(); });
    on(btnOdznac, [this] { gr1->UncheckAll(); });
    on(btnRefresh, [this] { RefreshShown(); });
}

bool TfrmCAdresar::onRatesTab() const
{
    return pc1->currentWidget() == tabKombinacie;
}

QString TfrmCAdresar::markedCondition(TDbGridQDL* grid, QVariantMap& params)
{
    if (!btnOznacene->isChecked())
        return {};
    if (grid->CheckedCount() == 0) {
        // Nothing marked in the grid the user works in: the view is released
        // without a notice; an unseen grid adds no condition.
        if (grid->hasFocus()) {
            btnOznacene->setChecked(false);
            UpdateMarkedOnlyButton(gr1, btnOznacene);
        }
        return {};
    }
    return grid->CheckedFilter(QStringLiteral("a."), QString(), &params);
}

QStringList TfrmCAdresar::contactStatement(QVariantMap* params)
{
    return m_contacts->BuildSql(params);
}

void TfrmCAdresar::contactsShown()
{
    const int rows = gr1->CountRecords();
    sb1Panel->setText(QStringLiteral("Počet záznamov: %1").arg(rows));
    FitStatusPanels(sb1);
    pc1->setTabVisible(pc1->indexOf(tabKombinacie), rows > 0);
}

void TfrmCAdresar::updateCaption()
{
    QString caption = m_baseCaption;
    if (onRatesTab() && gr1->isOpen() && !gr1->isEmpty())
        caption += QStringLiteral(" - ") + gr1->fieldValue(QStringLiteral("MENO")).toString();
    setWindowTitle(caption);
}

void TfrmCAdresar::RefreshShown()
{
    (onRatesTab() ? gr2 : gr1)->DisplayGrid();
}

void TfrmCAdresar::ClearFilter()
{
    eJazykovaKombinacia->Clear();
    eJazykovaKombinaciaText->clear();
    RefreshShown();
}

void TfrmCAdresar::rank()
{
    const auto moveTo = [this](const char* field, int to) {
        const int from = gr1->ColumnIndexByField(QString::fromLatin1(field));
        if (from >= 0 && from != to)
            gr1->MoveColumn(from, to);
    };
    moveTo("HODNOTENIE", 0);
    moveTo("DATUM_DODANIA_PREKLADU", 1);
    gr1->SetActiveTitleIndex(1);
    SetActionImage(btnSmer, 6);
    m_direction = QStringLiteral(" DESC ");
    m_contacts->direction = m_rates->direction = m_direction;
}

void TfrmCAdresar::Open()
{
    if (IsSetValue(Value)) {
        eJazykovaKombinacia->FindIt(Value);
        if (Flag)
            rank();
    }
    m_baseCaption = Text.trimmed().isEmpty()
                        ? (Flag ? QStringLiteral("Zoznam prekladateľov") : QStringLiteral("Zoznam objednávateľov"))
                        : Text;
    setWindowTitle(m_baseCaption);
    m_opening = false;
    gr1->DisplayGrid();
    if (IsSetValue(Current))
        gr1->Locate(kJedin, Current);
}

void TfrmCAdresar::SetDetails(TFormDetails& details)
{
    RunModal(details, [this] { Open(); },
             [this] { return gr1->isOpen() && !gr1->isEmpty() ? gr1->fieldValue(kJedin) : QVariant(); });
}

void TfrmCAdresar::choose()
{
    if (gr1->isOpen() && !gr1->isEmpty())
        accept();
}

void TfrmCAdresar::AddAction()
{
    if (!onRatesTab()) {
        AddRecords(*this, gr1, m_editors.contact, [this](TFormDetails& d) { d.Flag = Flag; });
        return;
    }
    if (!gr1->isOpen() || gr1->isEmpty())
        return;
    const QVariant contact = gr1->fieldValue(kJedin);
    AddRecords(*this, gr2, m_editors.rate, [this, contact](TFormDetails& d) {
        d.Flag = Flag;
        d.Parent = contact;
    });
}

void TfrmCAdresar::EditAction()
{
    if (!onRatesTab()) {
        EditRecords(*this, gr1, m_editors.contact, [this](TFormDetails& d) { d.Flag = Flag; });
        return;
    }
    if (!gr1->isOpen() || gr1->isEmpty())
        return;
    const QVariant contact = gr1->fieldValue(kJedin);
    EditRecords(*this, gr2, m_editors.rate, [this, contact](TFormDetails& d) {
        d.Flag = Flag;
        d.Parent = contact;
    });
}

bool TfrmCAdresar::DeleteAction()
{
    const bool deleted = onRatesTab() ? DeleteRecords(gr2, QStringLiteral("kombinacie"))
                                      : DeleteRecords(gr1, QStringLiteral("adresar"));
    if (deleted && btnOznacene->isChecked()) {
        btnOznacene->setChecked(false);
        UpdateMarkedOnlyButton(gr1, btnOznacene);
        RefreshShown();
    }
    return deleted;
}

bool TfrmCAdresar::gridKey(QKeyEvent* e)
{
    if (ShiftCtrlAlt(e) == Qt::NoModifier) {
        if (e->key() == Qt::Key_Left || e->key() == Qt::Key_Right) {
            const int other = onRatesTab() ? pc1->indexOf(tabAdresar) : pc1->indexOf(tabKombinacie);
            if (pc1->isTabVisible(other))
                pc1->setCurrentIndex(other);
            return true;
        }
        if (isEnterKey(e) && Mode == TFormDetails::Select) {
            choose();
            return true;
        }
    }
    return HandleListToolbarKey(*this, e);
}

bool TfrmCAdresar::keyPreview(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape && ShiftCtrlAlt(e) == Qt::NoModifier) {
        reject();
        return true;
    }
    return TFormViewer::keyPreview(e);
}

void TfrmCAdresar::showEvent(QShowEvent* event)
{
    TFormViewer::showEvent(event);
    if (!m_opening && !gr1->isOpen())
        RefreshShown();
    (onRatesTab() ? gr2 : gr1)->setFocus();
}

void RunCAdresar(TFormDetails& details)
{
    RunViewer<TfrmCAdresar>(details);
}
