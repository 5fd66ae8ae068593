#include "forms/FormRegister.h"

#include "controls/DbGridQDL.h"
#include "controls/IBComboBox.h"
#include "controls/IBEdit.h"
#include "controls/QDLBtn.h"
#include "controls/RegisterRefresh.h"
#include "framework/SlotGuard.h"
#include "framework/TextHelpers.h"
#include "framework/UiHelpers.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kJedin = QStringLiteral("JEDIN");
const QString kFilterDown = QStringLiteral("btnFilter.Down");

// The panel's own line edits (not the inner edit of a combo or spin box) that
// have a name to be remembered by.
QList<QLineEdit*> namedFilterEdits(QWidget* panel)
{
    QList<QLineEdit*> out;
    for (QLineEdit* e : panel->findChildren<QLineEdit*>()) {
        const QWidget* parent = e->parentWidget();
        if (!e->objectName().isEmpty() && !qobject_cast<const QComboBox*>(parent)
            && !qobject_cast<const QAbstractSpinBox*>(parent))
            out << e;
    }
    return out;
}

}  // namespace

TFormRegister::TFormRegister(const Setup& setup, QWidget* parent)
    : TFormViewer(parent)
{
    if (!setup.title.isEmpty())
        setWindowTitle(setup.title);
    // The toolbar's buttons are this window's members tb, btnPridaj, ...
    static_cast<TListToolbar&>(*this) = BuildListToolbar(this, setup.buttons);

    pnlFilter = new QWidget(this);
    pnlFilter->setObjectName(QStringLiteral("pnlFilter"));
    new QHBoxLayout(pnlFilter);
    pnlFilter->hide();

    gr1 = new TDbGridQDL(this);
    gr1->setObjectName(QStringLiteral("gr1"));
    gr1->Title = setup.title;
    gr1->SetColumns(setup.columns);
    gr1->SetActiveTitleIndex(setup.activeTitle);

    sbStatus = new QStatusBar(this);
    sbStatus->setObjectName(QStringLiteral("sbStatus"));
    sbStatus->setSizeGripEnabled(false);
    m_count = new QLabel(sbStatus);
    sbStatus->addWidget(m_count);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tb);
    layout->addWidget(pnlFilter);
    layout->addWidget(gr1, 1);
    layout->addWidget(sbStatus);

    m_refresh = std::make_unique<TRegisterRefresh>(gr1, setup.selectList, setup.table);
    m_refresh->btnOznacene = btnOznacene;
    m_refresh->btnSmer = btnSmer;
    m_refresh->btnFilter = btnFilter;
    m_refresh->pnlFilter = pnlFilter;
    m_refresh->filters = [this](QStringList& lines, QVariantMap& params) { FilterLines(lines, params); };

    // The grid's own events (title clicks, column moves) re-query too; an
    // error there must not leave the event handler.
    gr1->OnDisplayGrid = [this] {
        runReportingUnexpected([this] { m_refresh->Refresh(); });
        showCounts();
    };
    gr1->OnCheckRow = [this] { showCounts(); };
    gr1->OnKeyDown = [this](QKeyEvent* e) { return gridKey(e); };
    connect(gr1, &QAbstractItemView::doubleClicked, this, guarded([this] {
        if (Mode == TFormDetails::Select)
            choose();
        else if (btnOprav && btnOprav->isEnabled())
            btnOprav->trigger();
    }));
    connectButtons();
}

TFormRegister::~TFormRegister() = default;

void TFormRegister::connectButtons()
{
    TListActions actions;
    actions.add = [this] { AddAction(); };
    actions.copy = [this] { CopyAction(); };
    actions.edit = [this] { EditAction(); };
    actions.remove = [this] { DeleteAction(); };
    actions.print = [this] { Print(); };
    actions.clearFilter = [this] { ClearFilter(); };
    actions.marksChanged = [this] { showCounts(); };
    ConnectListToolbar(this, *this, gr1, *m_refresh, actions);
}

// --- running ------------------------------------------------------------------

void TFormRegister::loaded()
{
    // The stored column order is looked up by the window's class, known only
    // once the derived window is complete.
    if (m_loaded)
        return;
    m_loaded = true;
    gr1->Loaded();
}

void TFormRegister::setVisible(bool visible)
{
    if (visible)
        loaded();
    TFormViewer::setVisible(visible);
}

void TFormRegister::Prepare()
{
    loaded();
}

void TFormRegister::LoadSettings()
{
    if (btnFilter) {
        const bool down = ReadSetting(kFilterDown, 0) != 0;
        btnFilter->setChecked(down);
        SetActionImage(btnFilter, down ? 18 : 17);
        pnlFilter->setVisible(down);
    }
    for (QLineEdit* e : namedFilterEdits(pnlFilter))
        e->setText(ReadSetting(e->objectName(), e->text()));
}

void TFormRegister::SaveSettings()
{
    if (btnFilter)
        WriteSetting(kFilterDown, btnFilter->isChecked() ? 1 : 0);
    for (QLineEdit* e : namedFilterEdits(pnlFilter))
        WriteSetting(e->objectName(), e->text());
}

void TFormRegister::SetDetails(TFormDetails& details)
{
    loaded();
    RunModal(
        details,
        [this] {
            gr1->DisplayGrid();
            if (Current.isValid())
                gr1->Locate(kJedin, Current);
        },
        [this] { return gr1->isOpen() && !gr1->isEmpty() ? gr1->fieldValue(kJedin) : QVariant(); });
}

// --- actions --------------------------------------------------------------------

void TFormRegister::AddAction()
{
    if (m_runEditor)
        AddRecords(*this, gr1, m_runEditor, [this](TFormDetails& d) { BeforeEditor(d); });
}

void TFormRegister::EditAction()
{
    if (m_runEditor)
        EditRecords(*this, gr1, m_runEditor, [this](TFormDetails& d) { BeforeEditor(d); });
}

void TFormRegister::CopyAction()
{
    if (!m_runEditor || !gr1->isOpen() || gr1->isEmpty())
        return;
    TFormDetails d;
    InitDetails(d, TFormDetails::Copy, Parent, gr1->fieldValue(kJedin));
    d.ShowNext = false;
    BeforeEditor(d);
    m_runEditor(d);
    gr1->DisplayGrid();
    if (d.result() == TFormDetails::ResultOk || d.result() == TFormDetails::ResultNext)
        gr1->Locate(kJedin, d.Current);
}

bool TFormRegister::DeleteAction()
{
    const bool deleted = m_refresh->DeleteAction();
    showCounts();
    return deleted;
}

TIBEdit* TFormRegister::AddTextFilter(const QString& label, const QString& name, int maxLength, const QString& column,
                                     int row)
{
    if (!m_textFilterGrid) {
        m_textFilterGrid = new QGridLayout;
        m_textFilterGrid->setContentsMargins(0, 0, 0, 0);
        m_textFilterGrid->setVerticalSpacing(2);
        if (auto* line = qobject_cast<QBoxLayout*>(pnlFilter->layout())) {
            line->setContentsMargins(6, 3, 6, 3);
            line->addLayout(m_textFilterGrid);
        }
    }
    auto* caption = new QLabel(label, pnlFilter);
    auto* edit = new TIBEdit(pnlFilter);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    // Wide enough for a usual text, within reason.
    const int chars = std::clamp(maxLength, 3, 16);
    edit->setFixedWidth(edit->fontMetrics().averageCharWidth() * chars + 12);
    caption->setBuddy(edit);
    int column0 = 0;
    while (m_textFilterGrid->itemAtPosition(row, column0))
        column0 += 2;
    m_textFilterGrid->addWidget(caption, row, column0);
    m_textFilterGrid->addWidget(edit, row, column0 + 1, Qt::AlignLeft);
    m_textFilters.emplace_back(edit, column);
    return edit;
}

TQDLBtn* TFormRegister::AddRefreshFilterButton()
{
    auto* button = new TQDLBtn(QStringLiteral("Obnov"), pnlFilter);
    button->setObjectName(QStringLiteral("btnRefreshFilter"));
    QFont bold = button->font();
    bold.setBold(true);
    button->setFont(bold);
    button->setAutoDefault(false);
    if (auto* row = qobject_cast<QHBoxLayout*>(pnlFilter->layout()))
        row->addStretch();
    pnlFilter->layout()->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this] { gr1->setFocus(); });
    return button;
}

void TFormRegister::FilterLines(QStringList& lines, QVariantMap& params)
{
    for (const auto& [edit, column] : m_textFilters) {
        if (IsBlank(edit->text(), true))
            continue;
        lines << QStringLiteral("AND UPPERQDL2(A.%1) CONTAINING :%1").arg(column);
        params.insert(column, ToPlainUpper(edit->text()));
    }
}

void TFormRegister::ClearFilter()
{
    for (QWidget* w : pnlFilter->findChildren<QWidget*>()) {
        if (auto* combo = qobject_cast<TIBComboBox*>(w))
            combo->Clear();
        else if (auto* edit = qobject_cast<QLineEdit*>(w); edit && namedFilterEdits(pnlFilter).contains(edit))
            edit->clear();
    }
}

// --- keys ---------------------------------------------------------------------

void TFormRegister::choose()
{
    if (gr1->isOpen() && !gr1->isEmpty())
        done(TFormDetails::ResultOk);
}

bool TFormRegister::gridKey(QKeyEvent* e)
{
    if (Mode == TFormDetails::Select && isEnterKey(e) && ShiftCtrlAlt(e) == Qt::NoModifier) {
        choose();
        return true;
    }
    return HandleListToolbarKey(*this, e);
}

bool TFormRegister::keyPreview(QKeyEvent* e)
{
    if (ShiftCtrlAlt(e) != Qt::NoModifier)
        return false;
    switch (e->key()) {
    case Qt::Key_Escape:
        done(TFormDetails::ResultCancel);
        return true;
    case Qt::Key_F12:
        done(TFormDetails::ResultOk);
        return true;
    default:
        return false;
    }
}

// --- status -------------------------------------------------------------------

QString TFormRegister::statusText() const
{
    return QStringLiteral("Záznamov: %1   Označených: %2").arg(gr1->CountRecords()).arg(gr1->CheckedCount());
}

void TFormRegister::showCounts()
{
    m_count->setText(statusText());
}
