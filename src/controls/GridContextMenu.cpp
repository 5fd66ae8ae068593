#include "controls/GridContextMenu.h"

#include "controls/DbGridQDL.h"
#include "framework/Dialogs.h"
#include "framework/SettingsRoots.h"
#include "framework/UiHelpers.h"
#include "framework/UserSettings.h"

#include "reportengine/Report.h"
#include "reportengine/ReportPreview.h"
#include "reportengine/ReportPrint.h"
#include "reportengine/TableLayout.h"

#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QPrinter>

TGridContextMenu::TGridContextMenu(TDbGridQDL* grid) : QObject(grid), m_grid(grid)
{
    if (grid->PopupMenu) {
        m_menu = grid->PopupMenu;
        m_menu->addSeparator();
    } else {
        m_menu = new QMenu(grid);
    }
    QAction* a = m_menu->addAction(QStringLiteral("Kopírovať riadok do schránky"), this,
                                   &TGridContextMenu::CopyRowToClipboard);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    a = m_menu->addAction(QStringLiteral("Kopírovať celý grid do schránky"), this,
                          &TGridContextMenu::CopyGridToClipboard);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("Uloženie pozícií stĺpcov gridu"), this, &TGridContextMenu::SaveColumnPositions);
    m_menu->addAction(QStringLiteral("Obnovenie pozícií stĺpcov gridu"), this,
                      &TGridContextMenu::RestoreColumnPositions);
    m_menu->addAction(QStringLiteral("Vymazanie uložených pozícií stĺpcov gridu"), this,
                      &TGridContextMenu::ClearColumnPositions);
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("Vytlačenie obsahu gridu"), this, &TGridContextMenu::PrintGrid);
    m_menu->addAction(QStringLiteral("Vytlačenie obsahu datasetu"), this, &TGridContextMenu::PrintDataSet);
    auto* orientation = new QActionGroup(this);
    m_portrait = m_menu->addAction(QStringLiteral("Vytlačenie obsahu na dĺžku stránky"));
    m_landscape = m_menu->addAction(QStringLiteral("Vytlačenie obsahu na šírku stránky"));
    for (QAction* o : {m_portrait, m_landscape}) {
        o->setCheckable(true);
        orientation->addAction(o);
    }
    m_portrait->setChecked(true);
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("Zarovnanie šírok stĺpcov gridu"), grid, &TDbGridQDL::AutoFitColumns);
    // The shortcuts work while the grid has the focus, without opening the menu.
    for (QAction* action : m_menu->actions())
        if (!action->shortcut().isEmpty()) {
            action->setShortcutContext(Qt::WidgetShortcut);
            grid->addAction(action);
        }
}

TGridContextMenu::~TGridContextMenu() = default;

bool TGridContextMenu::landscape() const
{
    return m_landscape->isChecked();
}

// --- clipboard --------------------------------------------------------------

QString TGridContextMenu::RowText(int row) const
{
    const TGridModel* model = m_grid->gridModel();
    QStringList cells;
    for (int c = 0; c < model->columnCount(); ++c) {
        const int field = model->fieldOfColumn(c);
        if (field >= 0 && model->result().columns()[size_t(field)].type == fb::ColumnType::Blob)
            cells << QStringLiteral("(BLOB)");
        else
            cells << model->index(row, c).data().toString();
    }
    return cells.join(QLatin1Char('\t'));
}

void TGridContextMenu::CopyRowToClipboard()
{
    if (m_grid->isEmpty())
        return;
    CopyToClipboard(RowText(m_grid->currentRow()));
}

void TGridContextMenu::CopyGridToClipboard()
{
    if (m_grid->isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString text;
    for (int row = 0; row < m_grid->gridModel()->rowCount(); ++row)
        text += RowText(row) + QStringLiteral("\r\n");
    CopyToClipboard(text);
    QApplication::restoreOverrideCursor();
}

// --- column positions -------------------------------------------------------

QString TGridContextMenu::SettingsKey() const
{
    return QString(settingsroot::Lindavo) + QLatin1Char('\\')
           + QString::fromLatin1(m_grid->window()->metaObject()->className()) + m_grid->objectName();
}

QString TGridContextMenu::ColumnIdent(int position) const
{
    return m_grid->objectName() + QStringLiteral(".Column[") + QString::number(position) +
           QStringLiteral("].FieldName");
}

void TGridContextMenu::SaveColumnPositions()
{
    for (int p = 0; p < m_grid->ColumnCount(); ++p)
        writeUserString(SettingsKey(), ColumnIdent(p), m_grid->Columns()[size_t(p)].FieldName);
}

void TGridContextMenu::RestoreColumnPositions()
{
    // A position that names nothing (cleared, or a field no longer shown) ends
    // the restore; the columns after it keep the order they have.
    for (int p = 0; p < m_grid->ColumnCount(); ++p) {
        const QString field = readUserString(SettingsKey(), ColumnIdent(p));
        const int at = field.isEmpty() ? -1 : m_grid->ColumnIndexByField(field);
        if (at < 0)
            break;
        if (at != p)
            m_grid->gridModel()->moveColumn(at, p);
    }
}

void TGridContextMenu::ClearColumnPositions()
{
    DialogRequest r;
    r.type = msg::Confirmation;
    r.caption = dialogCaption(msg::Confirmation);
    r.text = QStringLiteral("Chcete vymazať uložené pozície stĺpcov a pri opätovnom otvorení okna sa obnovili "
                            "pôvodné pozície?");
    r.buttons = {msg::Yes, msg::No};
    r.defaultResult = msg::Yes;
    if (showDialog(r) != msg::Yes)
        return;
    for (int p = 0; p < m_grid->ColumnCount(); ++p)
        writeUserString(SettingsKey(), ColumnIdent(p), QString());
}

// --- printing ---------------------------------------------------------------

TGridPrintTable TGridContextMenu::GridTable() const
{
    const TGridModel* model = m_grid->gridModel();
    TGridPrintTable t;
    t.title = m_grid->Title;
    std::vector<int> shown;
    for (int c = 0; c < model->columnCount(); ++c) {
        const TQDLColumn& col = model->column(c);
        if (!col.Visible)
            continue;
        shown.push_back(c);
        t.headers << col.TitleCaption;
        t.widths.push_back(std::max(col.Width, 1));
        t.alignments.push_back(col.Alignment);
    }
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int c : shown)
            cells << model->index(row, c).data().toString();
        t.rows.push_back(cells);
    }
    return t;
}

TGridPrintTable TGridContextMenu::DataSetTable() const
{
    const TGridModel* model = m_grid->gridModel();
    TGridPrintTable t;
    t.title = m_grid->Title;
    const auto& fields = model->result().columns();
    for (const fb::Column& f : fields) {
        t.headers << f.name;
        t.widths.push_back(std::clamp(f.length, 6, 40) * 7);
        const bool numeric = f.type == fb::ColumnType::Integer || f.type == fb::ColumnType::BigInt ||
                             f.type == fb::ColumnType::Decimal || f.type == fb::ColumnType::Double;
        t.alignments.push_back(numeric ? Qt::AlignRight : Qt::AlignLeft);
    }
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int f = 0; f < int(fields.size()); ++f)
            cells << (fields[size_t(f)].type == fb::ColumnType::Blob && model->fieldValue(row, f).isNull()
                          ? QString()
                          : model->fieldValue(row, f).toString());
        t.rows.push_back(cells);
    }
    return t;
}

void TGridContextMenu::PrintGrid()
{
    if (m_grid->CountRecords() > 0)
        preview(GridTable());
}

void TGridContextMenu::PrintDataSet()
{
    if (m_grid->CountRecords() > 0)
        preview(DataSetTable());
}

// The listing is a report: a layout generated from the table, the engine's
// preview (zoom, find, save in any format, print) and its printing.
namespace {

report::TableListing listingTable(const TGridPrintTable& table, bool landscape)
{
    report::TableListing listing;
    listing.title = table.title;
    listing.headers = table.headers;
    for (int w : table.widths)
        listing.widths.push_back(w);
    for (Qt::Alignment a : table.alignments)
        listing.alignments.push_back(a & Qt::AlignRight ? report::HAlign::Right
                                  : a & Qt::AlignHCenter ? report::HAlign::Center
                                                         : report::HAlign::Left);
    listing.orientation = landscape ? report::Orientation::Landscape : report::Orientation::Portrait;
    listing.autoOrientation = true;
    listing.headerFill = QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    return listing;
}

}  // namespace

std::shared_ptr<const report::PreparedReport> TGridContextMenu::PrepareTable(const TGridPrintTable& table, bool landscape)
{
    const report::MemoryDataset data = report::tableDataset(int(table.headers.size()), table.rows);
    report::Report listing(report::tableLayout(listingTable(table, landscape)));
    listing.setTitle(table.title);
    listing.setDataset(QStringLiteral("MASTER"), &data);
    return std::make_shared<const report::PreparedReport>(listing.prepare());
}

void TGridContextMenu::preview(const TGridPrintTable& table)
{
    std::shared_ptr<const report::PreparedReport> prepared;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        prepared = PrepareTable(table, landscape());
        QApplication::restoreOverrideCursor();
    }
    report::PreviewWindow window(prepared, m_grid);
    window.exec();
}

void TGridContextMenu::PaintTable(QPrinter& printer, const TGridPrintTable& table)
{
    report::printReport(*PrepareTable(table, printer.pageLayout().orientation() == QPageLayout::Landscape), printer);
}
