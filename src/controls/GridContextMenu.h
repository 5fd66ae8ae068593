#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QAction;
class QMenu;
class QPainter;
class QPrinter;
class TDbGridQDL;
namespace report {
class PreparedReport;
}

// A table ready for printing: the grid as shown, or every field of its result.
struct TGridPrintTable {
    QString title;
    QStringList headers;
    std::vector<int> widths;             // relative widths (pixels on screen)
    std::vector<Qt::Alignment> alignments;
    std::vector<QStringList> rows;
};

// The grid's context menu: clipboard copies, the stored column order, printing
// and width fitting. Owned by the grid; created when the grid is loaded.
class TGridContextMenu : public QObject {
    Q_OBJECT
public:
    explicit TGridContextMenu(TDbGridQDL* grid);
    ~TGridContextMenu() override;

    QMenu* menu() const { return m_menu; }
    bool landscape() const;

    // One record's text: the columns in their present order (hidden ones too)
    // separated by tabs, "(BLOB)" for large-object fields.
    QString RowText(int row) const;
    void CopyRowToClipboard();
    void CopyGridToClipboard();

    // The section in the per-user store: window class name + grid name.
    QString SettingsKey() const;
    QString ColumnIdent(int position) const;
    void SaveColumnPositions();
    void RestoreColumnPositions();
    void ClearColumnPositions();

    TGridPrintTable GridTable() const;     // visible columns as shown
    TGridPrintTable DataSetTable() const;  // every field of the result
    void PrintGrid();
    void PrintDataSet();
    // The listing as a prepared report: the page setup of the listings
    // (margins 20/10/10/16 mm, landscape when asked or when the columns need it).
    static std::shared_ptr<const report::PreparedReport> PrepareTable(const TGridPrintTable& table, bool landscape);
    // Prints the listing on the printer's pages (its orientation chosen there).
    static void PaintTable(QPrinter& printer, const TGridPrintTable& table);

private:
    void preview(const TGridPrintTable& table);

    TDbGridQDL* m_grid;
    QMenu* m_menu;
    QAction* m_portrait;
    QAction* m_landscape;
};
