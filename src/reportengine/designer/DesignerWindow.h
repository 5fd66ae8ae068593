#pragma once

#include "reportengine/designer/DesignerDocument.h"

#include <QDialog>

#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenuBar;
class QPushButton;
class QScrollArea;
class QTableWidget;

namespace report {

class DesignerPageView;

// The report designer: the page with its bands as they print, the objects on
// them, a property panel and the list of fields and variables to insert.
// Opens a layout file, or starts an empty layout under a file name that does
// not exist yet. Everything it changes goes through DesignerDocument.
class DesignerWindow : public QDialog {
    Q_OBJECT
public:
    explicit DesignerWindow(QWidget* parent = nullptr);
    ~DesignerWindow() override;

    // Opens `fileName`, or an empty layout under that name when there is no
    // such file. A damaged file opens as an empty layout under its name too,
    // with the reason shown above the page: saving replaces the damaged file.
    // With `saveName` the layout is saved there instead of `fileName`.
    void openOrCreate(const QString& fileName, const QString& saveName = {});
    // The reason shown for a damaged file; empty when the file was sound.
    QString problem() const;

    DesignerDocument& document() { return m_doc; }
    DesignerPageView* pageView() const { return m_view; }

    // The fields of the bound dataset for the field list.
    void setFieldNames(const QStringList& names);
    // F9: prepares the layout being edited over the caller's data and shows it.
    void setPreview(std::function<void(const Layout&)> preview) { m_preview = std::move(preview); }

    // Saves; a failure is reported and false returned (the document stays modified).
    bool save();
    // When the layout is modified: asks whether to save. False: stay open.
    bool maySafelyClose();

    void reject() override;

private:
    void buildMenus(QMenuBar* bar);
    QWidget* buildSidePanel();
    void updateCaption();
    void showSelection();
    void applyProperties();
    // Adds the object to the band and selects it.
    void place(const BandRef& band, const ReportObject& object);
    void insertObject(ObjectKind kind);
    void insertImage();
    void insertField(const QString& expression);
    void addGroup();
    void saveAs();
    void runPreview();
    void editPage();
    void editTitleAndVariables();
    // Fields, variables and the host's functions, the selected one's description below.
    void refreshFieldList();

    DesignerDocument m_doc;
    DesignerPageView* m_view = nullptr;
    QScrollArea* m_scroll = nullptr;
    std::function<void(const Layout&)> m_preview;
    bool m_updating = false;

    // Property panel.
    QLabel* m_bandCaption = nullptr;
    QLabel* m_problem = nullptr;  // why the file could not be opened
    QDoubleSpinBox* m_bandHeight = nullptr;
    QLineEdit* m_groupCondition = nullptr;
    QLineEdit* m_masterAlias = nullptr;
    QCheckBox* m_newPage = nullptr;
    QWidget* m_objectBox = nullptr;
    QLineEdit* m_text = nullptr;
    QDoubleSpinBox *m_x = nullptr, *m_y = nullptr, *m_w = nullptr, *m_h = nullptr;
    QFontComboBox* m_fontFamily = nullptr;
    QDoubleSpinBox* m_fontSize = nullptr;
    QCheckBox *m_bold = nullptr, *m_italic = nullptr, *m_underline = nullptr;
    QComboBox* m_hAlign = nullptr;
    QComboBox* m_vAlign = nullptr;
    QDoubleSpinBox* m_frameWidth = nullptr;
    QColor m_color, m_frameColor;
    QCheckBox *m_frameLeft = nullptr, *m_frameTop = nullptr, *m_frameRight = nullptr, *m_frameBottom = nullptr;
    QCheckBox* m_fillOn = nullptr;
    QPushButton* m_fillColor = nullptr;
    QColor m_fill;
    QLineEdit* m_format = nullptr;
    QCheckBox *m_stretch = nullptr, *m_wordWrap = nullptr;
    QListWidget* m_fields = nullptr;
    QLabel* m_fieldDescription = nullptr;
};

// Paper (A4, A5, A3, Letter, Legal or a size of one's own), orientation and
// margins of a layout.
class PageSetupDialog : public QDialog {
    Q_OBJECT
public:
    explicit PageSetupDialog(const PageSetup& page, QWidget* parent = nullptr);
    PageSetup page() const;

    QComboBox* cmbPaper;
    QComboBox* cmbOrientation;
    QDoubleSpinBox *eWidth, *eHeight, *eLeft, *eRight, *eTop, *eBottom;
};

// The report's title and its variables (category, name, type, starting value).
class ReportSettingsDialog : public QDialog {
    Q_OBJECT
public:
    ReportSettingsDialog(const QString& title, const std::vector<VariableDef>& variables, QWidget* parent = nullptr);
    QString title() const;
    std::vector<VariableDef> variables() const;

    QLineEdit* eTitle;
    QTableWidget* grdVariables;
    QPushButton *btnAdd, *btnRemove;
};

// The page of the designer: bands stacked with their captions, objects drawn
// as they are laid out. Mouse: click selects (Ctrl adds), drag moves, the
// corner handle resizes, a band's lower edge sets its height. Keys: arrows
// move by the grid, Shift+arrows resize, Delete removes.
class DesignerPageView : public QWidget {
    Q_OBJECT
public:
    explicit DesignerPageView(DesignerDocument& doc, QWidget* parent = nullptr);

    static constexpr double kGrid = 1.0;  // mm

    const std::vector<ObjectRef>& selection() const { return m_selection; }
    void setSelection(std::vector<ObjectRef> selection);
    BandRef currentBand() const { return m_band; }
    void setCurrentBand(const BandRef& band);

    double scale() const { return m_scale; }  // pixels per mm
    // Where a band's area starts on the widget (below its caption strip); -1 when absent.
    int bandTop(const BandRef& band) const;
    QSize sizeHint() const override;

signals:
    void selectionChanged();
    void fieldDropped(const QString& expression, const BandRef& band, double x, double y);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void dragEnterEvent(QDragEnterEvent*) override;
    void dropEvent(QDropEvent*) override;

private:
    struct Hit {
        BandRef band;
        bool inBand = false;
        bool onBandEdge = false;
        int object = -1;
        bool onHandle = false;
        double x = 0, y = 0;  // mm within the band
    };
    Hit hitTest(const QPoint& p) const;
    QRectF objectRect(const BandRef& band, const ReportObject& o) const;
    void paintObject(QPainter& painter, const QRectF& r, const ReportObject& o) const;

    enum class Drag { None, Move, Resize, BandHeight };
    DesignerDocument& m_doc;
    double m_scale = 96.0 / 25.4;
    std::vector<ObjectRef> m_selection;
    BandRef m_band;
    Drag m_drag = Drag::None;
    QPoint m_pressAt;
    QPointF m_dragDelta;  // mm
};

}  // namespace report
