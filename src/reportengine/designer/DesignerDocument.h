#pragma once

#include "reportengine/ReportLayout.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUndoStack>

#include <functional>
#include <vector>

namespace report {

// A band of the layout being edited: one of the fixed bands, or the header or
// footer of group `group` (groups counted outermost first).
struct BandRef {
    BandKind kind = BandKind::MasterData;
    int group = -1;
    friend bool operator==(const BandRef&, const BandRef&) = default;
};

struct ObjectRef {
    BandRef band;
    int index = -1;
    friend bool operator==(const ObjectRef&, const ObjectRef&) = default;
};

enum class AlignEdge { Left, Right, Top, Bottom, CenterHorizontally };

// The layout the designer edits, its file and its undo history. Every change
// goes through here as one undoable step; the window only shows the layout
// and calls these. A layout of a newer format version is read-only.
class DesignerDocument : public QObject {
    Q_OBJECT
public:
    explicit DesignerDocument(QObject* parent = nullptr);

    // An empty layout (page header, master data, page footer) under `fileName`.
    // A layout not on disk yet, under `fileName`; nobody has edited it.
    void startNew(const QString& fileName);
    // Throws report::Error for a file that cannot be read. With `saveName` the
    // layout is saved there instead (a read-only original, kept as it is).
    void open(const QString& fileName, const QString& saveName = {});
    // Saves under the file name; throws report::Error (the old file intact,
    // the document still modified).
    void save();
    void saveAs(const QString& fileName);

    const Layout& layout() const { return m_layout; }
    const QString& fileName() const { return m_fileName; }
    bool isReadOnly() const { return m_readOnly; }
    // A new layout nobody has edited yet is not a change: closing it asks nothing
    // and writes no empty file over a missing one.
    bool isModified() const { return !m_undo.isClean(); }
    bool isNew() const { return m_new; }
    QUndoStack& undoStack() { return m_undo; }

    // The bands as they print, top to bottom.
    std::vector<BandRef> bands() const;
    const Band* band(const BandRef& ref) const;
    const ReportObject* object(const ObjectRef& ref) const;
    static QString bandCaption(const BandRef& ref);

    // The fields of the bound dataset and the variables, as [expressions].
    void setFieldNames(const QStringList& names) { m_fields = names; }
    QStringList fieldExpressions() const;
    QStringList variableExpressions() const;
    // The host program's report functions (the runner's, while it is open):
    // a call as it is inserted ("[MONEYTOSTR(<Number>)]") and what it does.
    struct FunctionEntry {
        QString call;
        QString description;
    };
    static std::vector<FunctionEntry> functionEntries();

    // Edits. Each is one step of the undo history; `text` names it in the menu.
    void addBand(BandKind kind);             // a fixed band (not a group's)
    int addGroup(const QString& condition);  // innermost; with header and footer
    void removeBand(const BandRef& ref);     // a group's header or footer; the group goes with the last
    void moveGroup(int from, int to);
    void setBandHeight(const BandRef& ref, double height);
    void setGroupCondition(int group, const QString& condition);
    void setGroupNewPage(int group, bool newPage);
    void setMasterAlias(const QString& alias);
    // Paper, orientation and margins; throws report::Error when the margins
    // leave no room to print.
    void setPage(const PageSetup& page);
    void setTitle(const QString& title);
    // Throws report::Error for a variable without a name, a name used twice
    // (regardless of case) or a type other than string and integer.
    void setVariables(const std::vector<VariableDef>& variables);
    int addObject(const BandRef& ref, const ReportObject& object);
    void setObject(const ObjectRef& ref, const ReportObject& object, const QString& text);
    void removeObjects(std::vector<ObjectRef> refs);
    // Moves by (dx, dy) mm; an object never leaves its band. With `merge`,
    // steps in a row (the arrow keys) are one step of the history.
    void moveObjects(const std::vector<ObjectRef>& refs, double dx, double dy, bool merge = false);
    void resizeObject(const ObjectRef& ref, double width, double height, bool merge = false);
    void alignObjects(const std::vector<ObjectRef>& refs, AlignEdge edge);

    static double snap(double mm, double grid);

signals:
    void changed();

private:
    Band* bandOf(Layout& layout, const BandRef& ref) const;
    ReportObject* objectOf(Layout& layout, const ObjectRef& ref) const;
    void edit(const QString& text, const std::function<void(Layout&)>& change, int mergeId = -1);
    friend class LayoutEditCommand;
    void setLayoutQuietly(const Layout& layout);

    Layout m_layout;
    QString m_fileName;
    bool m_readOnly = false;
    bool m_new = false;
    QStringList m_fields;
    QUndoStack m_undo;
};

}  // namespace report
