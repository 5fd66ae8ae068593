#include "reportengine/designer/DesignerWindow.h"

#include "reportengine/ReportError.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace report {

namespace {

// The field list hands its expression to a drop as plain text.
class FieldList : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override
    {
        auto* data = new QMimeData;
        if (!items.isEmpty())
            data->setText(items.front()->text());
        return data;
    }
};

QDoubleSpinBox* mmSpin(QWidget* parent, double max = 1000)
{
    auto* s = new QDoubleSpinBox(parent);
    s->setRange(0, max);
    s->setDecimals(1);
    s->setSingleStep(1);
    s->setSuffix(QStringLiteral(" mm"));
    s->setKeyboardTracking(false);
    return s;
}

}  // namespace

DesignerWindow::DesignerWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDesigner"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QMenuBar(this);
    layout->setMenuBar(bar);

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("lblProblem"));
    m_problem->setWordWrap(true);
    m_problem->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_problem->setStyleSheet(QStringLiteral("QLabel{background:#fde2e2;color:#8b0000;padding:6px;}"));
    m_problem->hide();
    layout->addWidget(m_problem);

    auto* splitter = new QSplitter(this);
    m_view = new DesignerPageView(m_doc);
    m_scroll = new QScrollArea(splitter);
    m_scroll->setWidget(m_view);
    m_scroll->setWidgetResizable(false);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    splitter->addWidget(m_scroll);
    splitter->addWidget(buildSidePanel());
    splitter->setStretchFactor(0, 1);
    splitter->setSizes({680, 420});
    layout->addWidget(splitter);
    buildMenus(bar);

    connect(&m_doc, &DesignerDocument::changed, this, [this] {
        updateCaption();
        showSelection();
    });
    // Variables come and go with the layout.
    connect(&m_doc.undoStack(), &QUndoStack::indexChanged, this, [this] { refreshFieldList(); });
    connect(&m_doc.undoStack(), &QUndoStack::indexChanged, this, [this] { updateCaption(); });
    connect(m_view, &DesignerPageView::selectionChanged, this, [this] { showSelection(); });
    connect(m_view, &DesignerPageView::fieldDropped, this,
            [this](const QString& text, const BandRef& band, double x, double y) {
                ReportObject o;
                o.text = text;
                o.x = x;
                o.y = y;
                o.width = 30;
                o.height = 5;
                place(band, o);
            });
    resize(1100, 760);
}

DesignerWindow::~DesignerWindow()
{
    // The undo stack signals while it is cleared in the document's
    // destruction; the panel and the page are not to hear it then.
    m_doc.disconnect();
}

void DesignerWindow::openOrCreate(const QString& fileName, const QString& saveName)
{
    m_problem->hide();
    m_problem->clear();
    if (QFileInfo(fileName).isFile()) {
        try {
            m_doc.open(fileName, saveName);
        } catch (const Error& e) {
            // The run cannot use it; here it can be replaced (or repaired in
            // a text editor, the reason says where).
            // Closing without an edit leaves the damaged file as it is.
            m_doc.startNew(saveName.isEmpty() ? fileName : saveName);
            m_problem->setText(e.message() + QStringLiteral("\nOtvorená je prázdna zostava pod tým istým menom; jej "
                                                             "uloženie poškodený súbor nahradí."));
            m_problem->show();
        }
        if (m_doc.isReadOnly())
            QMessageBox::information(this, QStringLiteral("Návrhár zostáv"),
                                     QStringLiteral("Zostava %1 je z novšej verzie programu. Otvára sa len na "
                                                    "čítanie; uložiť ju možno len pod iným menom.")
                                         .arg(QDir::toNativeSeparators(fileName)));
    } else {
        m_doc.startNew(saveName.isEmpty() ? fileName : saveName);
    }
    const auto bands = m_doc.bands();
    m_view->setCurrentBand(bands.empty() ? BandRef{} : bands.front());
    updateCaption();
    refreshFieldList();
}

QString DesignerWindow::problem() const
{
    return m_problem->isHidden() ? QString() : m_problem->text();
}

void DesignerWindow::setFieldNames(const QStringList& names)
{
    m_doc.setFieldNames(names);
    refreshFieldList();
}

void DesignerWindow::refreshFieldList()
{
    const QString current = m_fields->currentItem() ? m_fields->currentItem()->text() : QString();
    m_fields->clear();
    m_fields->addItems(m_doc.fieldExpressions());
    m_fields->addItems(m_doc.variableExpressions());
    for (const DesignerDocument::FunctionEntry& f : DesignerDocument::functionEntries()) {
        auto* item = new QListWidgetItem(f.call, m_fields);
        item->setToolTip(f.description);
        item->setData(Qt::UserRole, f.description);
    }
    const auto found = m_fields->findItems(current, Qt::MatchExactly);
    if (!found.isEmpty())
        m_fields->setCurrentItem(found.front());
}

void DesignerWindow::editPage()
{
    PageSetupDialog dialog(m_doc.layout().page, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        m_doc.setPage(dialog.page());
    } catch (const Error& e) {
        QMessageBox::warning(this, QStringLiteral("Návrhár zostáv"), e.message());
    }
}

void DesignerWindow::editTitleAndVariables()
{
    ReportSettingsDialog dialog(m_doc.layout().title, m_doc.layout().variables, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        m_doc.setVariables(dialog.variables());
        if (dialog.title() != m_doc.layout().title)
            m_doc.setTitle(dialog.title());
    } catch (const Error& e) {
        QMessageBox::warning(this, QStringLiteral("Návrhár zostáv"), e.message());
    }
}

// --- page set-up -------------------------------------------------------------

namespace {

const struct {
    const char* name;
    double width, height;  // portrait, mm
} kPapers[] = {{"A4", 210, 297}, {"A5", 148, 210}, {"A3", 297, 420}, {"Letter", 215.9, 279.4}, {"Legal", 215.9, 355.6}};

}  // namespace

PageSetupDialog::PageSetupDialog(const PageSetup& page, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPageSetup"));
    setWindowTitle(QStringLiteral("Nastavenie stránky"));
    auto* form = new QFormLayout(this);
    cmbPaper = new QComboBox(this);
    cmbPaper->setObjectName(QStringLiteral("cmbPaper"));
    for (const auto& p : kPapers)
        cmbPaper->addItem(QLatin1String(p.name));
    cmbPaper->addItem(QStringLiteral("Vlastný rozmer"));
    cmbOrientation = new QComboBox(this);
    cmbOrientation->setObjectName(QStringLiteral("cmbOrientation"));
    cmbOrientation->addItems({QStringLiteral("na výšku"), QStringLiteral("na šírku")});
    auto spin = [this](const char* name, double min, double max, double value) {
        auto* s = mmSpin(this, max);
        s->setObjectName(QLatin1String(name));
        s->setMinimum(min);
        s->setValue(value);
        return s;
    };
    eWidth = spin("eWidth", 10, 5000, page.width);
    eHeight = spin("eHeight", 10, 5000, page.height);
    eLeft = spin("eLeft", 0, 1000, page.marginLeft);
    eRight = spin("eRight", 0, 1000, page.marginRight);
    eTop = spin("eTop", 0, 1000, page.marginTop);
    eBottom = spin("eBottom", 0, 1000, page.marginBottom);
    form->addRow(QStringLiteral("Papier:"), cmbPaper);
    form->addRow(QStringLiteral("Šírka (na výšku):"), eWidth);
    form->addRow(QStringLiteral("Výška (na výšku):"), eHeight);
    form->addRow(QStringLiteral("Orientácia:"), cmbOrientation);
    form->addRow(QStringLiteral("Ľavý okraj:"), eLeft);
    form->addRow(QStringLiteral("Pravý okraj:"), eRight);
    form->addRow(QStringLiteral("Horný okraj:"), eTop);
    form->addRow(QStringLiteral("Dolný okraj:"), eBottom);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    int paper = int(std::size(kPapers));
    for (int i = 0; i < int(std::size(kPapers)); ++i)
        if (std::abs(kPapers[i].width - page.width) < 0.5 && std::abs(kPapers[i].height - page.height) < 0.5)
            paper = i;
    auto showPaper = [this](int index) {
        const bool own = index < 0 || index >= int(std::size(kPapers));
        eWidth->setEnabled(own);
        eHeight->setEnabled(own);
        if (!own) {
            eWidth->setValue(kPapers[index].width);
            eHeight->setValue(kPapers[index].height);
        }
    };
    cmbPaper->setCurrentIndex(paper);
    showPaper(paper);
    cmbOrientation->setCurrentIndex(page.orientation == Orientation::Landscape ? 1 : 0);
    connect(cmbPaper, &QComboBox::currentIndexChanged, this, showPaper);
}

PageSetup PageSetupDialog::page() const
{
    PageSetup p;
    p.width = eWidth->value();
    p.height = eHeight->value();
    p.orientation = cmbOrientation->currentIndex() == 1 ? Orientation::Landscape : Orientation::Portrait;
    p.marginLeft = eLeft->value();
    p.marginRight = eRight->value();
    p.marginTop = eTop->value();
    p.marginBottom = eBottom->value();
    return p;
}

// --- title and variables -----------------------------------------------------

ReportSettingsDialog::ReportSettingsDialog(const QString& title, const std::vector<VariableDef>& variables,
                                           QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmReportSettings"));
    setWindowTitle(QStringLiteral("Titulok a premenné"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    eTitle = new QLineEdit(title, this);
    eTitle->setObjectName(QStringLiteral("eTitle"));
    form->addRow(QStringLiteral("Titulok zostavy:"), eTitle);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("Premenné (typ string alebo integer; hodnotu pred tlačou nastaví program):"), this));
    grdVariables = new QTableWidget(0, 4, this);
    grdVariables->setObjectName(QStringLiteral("grdVariables"));
    grdVariables->setHorizontalHeaderLabels(
        {QStringLiteral("Kategória"), QStringLiteral("Meno"), QStringLiteral("Typ"), QStringLiteral("Hodnota")});
    grdVariables->horizontalHeader()->setStretchLastSection(true);
    auto addRow = [this](const VariableDef& v) {
        const int row = grdVariables->rowCount();
        grdVariables->insertRow(row);
        grdVariables->setItem(row, 0, new QTableWidgetItem(v.category));
        grdVariables->setItem(row, 1, new QTableWidgetItem(v.name));
        auto* type = new QComboBox(grdVariables);
        type->addItems({QStringLiteral("string"), QStringLiteral("integer")});
        type->setCurrentIndex(v.type == u"integer" ? 1 : 0);
        grdVariables->setCellWidget(row, 2, type);
        grdVariables->setItem(row, 3, new QTableWidgetItem(v.value));
    };
    for (const VariableDef& v : variables)
        addRow(v);
    layout->addWidget(grdVariables);
    auto* row = new QHBoxLayout;
    btnAdd = new QPushButton(QStringLiteral("Pridať premennú"), this);
    btnAdd->setObjectName(QStringLiteral("btnAdd"));
    btnRemove = new QPushButton(QStringLiteral("Odstrániť premennú"), this);
    btnRemove->setObjectName(QStringLiteral("btnRemove"));
    row->addWidget(btnAdd);
    row->addWidget(btnRemove);
    row->addStretch();
    layout->addLayout(row);
    connect(btnAdd, &QPushButton::clicked, this, [this, addRow] {
        addRow({QStringLiteral(" Nastavenia"), QString(), QStringLiteral("string"), QString()});
        grdVariables->setCurrentCell(grdVariables->rowCount() - 1, 1);
    });
    connect(btnRemove, &QPushButton::clicked, this, [this] {
        if (grdVariables->currentRow() >= 0)
            grdVariables->removeRow(grdVariables->currentRow());
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(560, 360);
}

QString ReportSettingsDialog::title() const
{
    return eTitle->text();
}

std::vector<VariableDef> ReportSettingsDialog::variables() const
{
    std::vector<VariableDef> out;
    auto text = [this](int row, int column) {
        const QTableWidgetItem* item = grdVariables->item(row, column);
        return item ? item->text() : QString();
    };
    for (int r = 0; r < grdVariables->rowCount(); ++r) {
        const auto* type = qobject_cast<const QComboBox*>(grdVariables->cellWidget(r, 2));
        out.push_back({text(r, 0), text(r, 1), type ? type->currentText() : QStringLiteral("string"), text(r, 3)});
    }
    return out;
}

void DesignerWindow::buildMenus(QMenuBar* bar)
{
    QMenu* file = bar->addMenu(QStringLiteral("&Súbor"));
    file->addAction(QStringLiteral("&Uložiť"), QKeySequence::Save, this, [this] { save(); });
    file->addAction(QStringLiteral("Uložiť &ako..."), this, [this] { saveAs(); });
    file->addSeparator();
    file->addAction(QStringLiteral("&Náhľad"), QKeySequence(Qt::Key_F9), this, [this] { runPreview(); });
    file->addSeparator();
    file->addAction(QStringLiteral("&Zavrieť"), this, [this] { reject(); });

    QMenu* edit = bar->addMenu(QStringLiteral("Ú&pravy"));
    QAction* undo = m_doc.undoStack().createUndoAction(this, QStringLiteral("Späť"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = m_doc.undoStack().createRedoAction(this, QStringLiteral("Znova"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence::Redo});
    edit->addAction(undo);
    edit->addAction(redo);
    edit->addSeparator();
    edit->addAction(QStringLiteral("&Odstrániť objekt"), this, [this] {
        m_doc.removeObjects(m_view->selection());
        m_view->setSelection({});
    });
    QMenu* align = edit->addMenu(QStringLiteral("&Zarovnať podľa prvého"));
    const auto alignBy = [this, align](const QString& caption, AlignEdge edge) {
        align->addAction(caption, this, [this, edge] { m_doc.alignObjects(m_view->selection(), edge); });
    };
    alignBy(QStringLiteral("Vľavo"), AlignEdge::Left);
    alignBy(QStringLiteral("Vpravo"), AlignEdge::Right);
    alignBy(QStringLiteral("Hore"), AlignEdge::Top);
    alignBy(QStringLiteral("Dole"), AlignEdge::Bottom);
    alignBy(QStringLiteral("Na stred"), AlignEdge::CenterHorizontally);

    QMenu* insert = bar->addMenu(QStringLiteral("&Vložiť"));
    insert->addAction(QStringLiteral("&Text"), QKeySequence(Qt::CTRL | Qt::Key_T), this,
                      [this] { insertObject(ObjectKind::Text); });
    insert->addAction(QStringLiteral("Či&ara"), this, [this] { insertObject(ObjectKind::Line); });
    insert->addAction(QStringLiteral("&Obdĺžnik"), this, [this] { insertObject(ObjectKind::Rectangle); });
    insert->addAction(QStringLiteral("O&brázok..."), this, [this] { insertImage(); });

    QMenu* reportMenu = bar->addMenu(QStringLiteral("&Zostava"));
    reportMenu->addAction(QStringLiteral("Nastavenie &stránky..."), this, [this] { editPage(); });
    reportMenu->addAction(QStringLiteral("&Titulok a premenné..."), this, [this] { editTitleAndVariables(); });

    QMenu* bands = bar->addMenu(QStringLiteral("&Pásy"));
    for (BandKind kind : {BandKind::ReportTitle, BandKind::PageHeader, BandKind::ColumnHeader, BandKind::MasterData,
                          BandKind::MasterFooter, BandKind::ReportSummary, BandKind::PageFooter})
        bands->addAction(DesignerDocument::bandCaption({kind, -1}), this, [this, kind] { m_doc.addBand(kind); });
    bands->addAction(QStringLiteral("Skupina..."), this, [this] { addGroup(); });
    bands->addSeparator();
    bands->addAction(QStringLiteral("Odstrániť pás"), this, [this] { m_doc.removeBand(m_view->currentBand()); });
    bands->addAction(QStringLiteral("Skupinu vyššie"), this, [this] {
        const int g = m_view->currentBand().group;
        if (g > 0)
            m_doc.moveGroup(g, g - 1);
    });
    bands->addAction(QStringLiteral("Skupinu nižšie"), this, [this] {
        const int g = m_view->currentBand().group;
        if (g >= 0)
            m_doc.moveGroup(g, g + 1);
    });
}

QWidget* DesignerWindow::buildSidePanel()
{
    auto* tabs = new QTabWidget;
    tabs->setMinimumWidth(400);

    auto* props = new QWidget;
    auto* v = new QVBoxLayout(props);
    auto* bandBox = new QGroupBox(QStringLiteral("Pás"), props);
    auto* bf = new QFormLayout(bandBox);
    m_bandCaption = new QLabel(bandBox);
    bf->addRow(m_bandCaption);
    m_bandHeight = mmSpin(bandBox);
    bf->addRow(QStringLiteral("Výška:"), m_bandHeight);
    m_groupCondition = new QLineEdit(bandBox);
    m_groupCondition->setObjectName(QStringLiteral("eGroupCondition"));
    bf->addRow(QStringLiteral("Podmienka skupiny:"), m_groupCondition);
    m_newPage = new QCheckBox(QStringLiteral("Nová strana po päte skupiny"), bandBox);
    bf->addRow(m_newPage);
    m_masterAlias = new QLineEdit(bandBox);
    bf->addRow(QStringLiteral("Dáta:"), m_masterAlias);
    v->addWidget(bandBox);
    connect(m_bandHeight, &QDoubleSpinBox::valueChanged, this, [this](double h) {
        if (!m_updating)
            m_doc.setBandHeight(m_view->currentBand(), h);
    });
    connect(m_groupCondition, &QLineEdit::editingFinished, this, [this] {
        if (!m_updating)
            m_doc.setGroupCondition(m_view->currentBand().group, m_groupCondition->text());
    });
    connect(m_newPage, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_updating)
            m_doc.setGroupNewPage(m_view->currentBand().group, on);
    });
    connect(m_masterAlias, &QLineEdit::editingFinished, this, [this] {
        if (!m_updating && !m_masterAlias->text().trimmed().isEmpty())
            m_doc.setMasterAlias(m_masterAlias->text().trimmed());
    });

    auto* objectBox = new QGroupBox(QStringLiteral("Objekt"), props);
    m_objectBox = objectBox;
    auto* of = new QFormLayout(objectBox);
    m_text = new QLineEdit(objectBox);
    m_text->setObjectName(QStringLiteral("eText"));
    m_text->setToolTip(QStringLiteral("Text; výrazy v hranatých zátvorkách, napr. [MASTER.\"ZNACKA\"]"));
    of->addRow(QStringLiteral("Text:"), m_text);
    const auto spinPair = [&](const QString& caption, QDoubleSpinBox*& a, QDoubleSpinBox*& b) {
        auto* row = new QHBoxLayout;
        a = mmSpin(objectBox);
        b = mmSpin(objectBox);
        row->addWidget(a);
        row->addWidget(b);
        of->addRow(caption, row);
    };
    spinPair(QStringLiteral("X, Y:"), m_x, m_y);
    spinPair(QStringLiteral("Šírka, výška:"), m_w, m_h);
    m_fontFamily = new QFontComboBox(objectBox);
    of->addRow(QStringLiteral("Písmo:"), m_fontFamily);
    auto* style = new QHBoxLayout;
    m_fontSize = new QDoubleSpinBox(objectBox);
    m_fontSize->setRange(4, 96);
    m_fontSize->setDecimals(1);
    m_fontSize->setKeyboardTracking(false);
    m_bold = new QCheckBox(QStringLiteral("Tučné"), objectBox);
    m_italic = new QCheckBox(QStringLiteral("Kurzíva"), objectBox);
    m_underline = new QCheckBox(QStringLiteral("Podčiarknuté"), objectBox);
    style->addWidget(m_bold);
    style->addWidget(m_italic);
    style->addWidget(m_underline);
    of->addRow(QStringLiteral("Veľkosť:"), m_fontSize);
    of->addRow(QStringLiteral("Rez:"), style);
    m_hAlign = new QComboBox(objectBox);
    m_hAlign->addItems({QStringLiteral("vľavo"), QStringLiteral("na stred"), QStringLiteral("vpravo"),
                        QStringLiteral("do bloku")});
    m_vAlign = new QComboBox(objectBox);
    m_vAlign->addItems({QStringLiteral("hore"), QStringLiteral("v strede"), QStringLiteral("dole")});
    auto* alignRow = new QHBoxLayout;
    alignRow->addWidget(m_hAlign);
    alignRow->addWidget(m_vAlign);
    of->addRow(QStringLiteral("Zarovnanie:"), alignRow);
    auto* frame = new QHBoxLayout;
    m_frameLeft = new QCheckBox(QStringLiteral("ľavý"), objectBox);
    m_frameTop = new QCheckBox(QStringLiteral("horný"), objectBox);
    m_frameRight = new QCheckBox(QStringLiteral("pravý"), objectBox);
    m_frameBottom = new QCheckBox(QStringLiteral("dolný"), objectBox);
    for (QCheckBox* c : {m_frameLeft, m_frameTop, m_frameRight, m_frameBottom})
        frame->addWidget(c);
    of->addRow(QStringLiteral("Rámik:"), frame);
    auto* lines = new QHBoxLayout;
    m_frameWidth = mmSpin(objectBox, 5);
    m_frameWidth->setDecimals(2);
    m_frameWidth->setSingleStep(0.1);
    auto* textColor = new QPushButton(QStringLiteral("Farba textu..."), objectBox);
    auto* frameColor = new QPushButton(QStringLiteral("Farba čiary..."), objectBox);
    lines->addWidget(m_frameWidth);
    lines->addWidget(textColor);
    lines->addWidget(frameColor);
    of->addRow(QStringLiteral("Čiara:"), lines);
    auto* fill = new QHBoxLayout;
    m_fillOn = new QCheckBox(QStringLiteral("výplň"), objectBox);
    m_fillColor = new QPushButton(QStringLiteral("Farba..."), objectBox);
    fill->addWidget(m_fillOn);
    fill->addWidget(m_fillColor);
    of->addRow(QStringLiteral("Výplň:"), fill);
    m_format = new QLineEdit(objectBox);
    // A leading comma groups the thousands: ",0.00" prints 1 234,50.
    m_format->setPlaceholderText(QStringLiteral("napr. ,0.00 (1 234,50) alebo dd.mm.yyyy"));
    of->addRow(QStringLiteral("Formát:"), m_format);
    m_stretch = new QCheckBox(QStringLiteral("Roztiahnuť podľa textu"), objectBox);
    m_wordWrap = new QCheckBox(QStringLiteral("Zalamovať slová"), objectBox);
    of->addRow(m_stretch);
    of->addRow(m_wordWrap);
    v->addWidget(objectBox);
    v->addStretch();

    const auto apply = [this] { applyProperties(); };
    connect(m_text, &QLineEdit::editingFinished, this, apply);
    connect(m_format, &QLineEdit::editingFinished, this, apply);
    for (QDoubleSpinBox* s : {m_x, m_y, m_w, m_h, m_fontSize})
        connect(s, &QDoubleSpinBox::valueChanged, this, apply);
    connect(m_fontFamily, &QFontComboBox::currentFontChanged, this, apply);
    connect(m_hAlign, &QComboBox::currentIndexChanged, this, apply);
    connect(m_vAlign, &QComboBox::currentIndexChanged, this, apply);
    connect(m_frameWidth, &QDoubleSpinBox::valueChanged, this, apply);
    const auto chooseColor = [this](QColor& color, const QString& title) {
        const QColor c = QColorDialog::getColor(color.isValid() ? color : QColor(Qt::black), this, title);
        if (!c.isValid())
            return;
        color = c;
        applyProperties();
    };
    connect(textColor, &QPushButton::clicked, this,
            [this, chooseColor] { chooseColor(m_color, QStringLiteral("Farba textu")); });
    connect(frameColor, &QPushButton::clicked, this,
            [this, chooseColor] { chooseColor(m_frameColor, QStringLiteral("Farba čiary a rámika")); });
    for (QCheckBox* c : {m_bold, m_italic, m_underline, m_frameLeft, m_frameTop, m_frameRight, m_frameBottom,
                         m_fillOn, m_stretch, m_wordWrap})
        connect(c, &QCheckBox::toggled, this, apply);
    connect(m_fillColor, &QPushButton::clicked, this, [this] {
        const QColor c = QColorDialog::getColor(m_fill.isValid() ? m_fill : QColor(Qt::lightGray), this,
                                                QStringLiteral("Farba výplne"));
        if (!c.isValid())
            return;
        m_fill = c;
        m_updating = true;
        m_fillOn->setChecked(true);
        m_updating = false;
        applyProperties();
    });
    tabs->addTab(props, QStringLiteral("Vlastnosti"));

    auto* fieldsPage = new QWidget;
    auto* fv = new QVBoxLayout(fieldsPage);
    fv->addWidget(new QLabel(QStringLiteral("Dvojklik alebo potiahnutie vloží pole do pásu:"), fieldsPage));
    m_fields = new FieldList(fieldsPage);
    m_fields->setObjectName(QStringLiteral("lstFields"));
    m_fields->setDragEnabled(true);
    fv->addWidget(m_fields);
    m_fieldDescription = new QLabel(fieldsPage);
    m_fieldDescription->setObjectName(QStringLiteral("lblFieldDescription"));
    m_fieldDescription->setWordWrap(true);
    fv->addWidget(m_fieldDescription);
    connect(m_fields, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { insertField(item->text()); });
    connect(m_fields, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        m_fieldDescription->setText(item ? item->data(Qt::UserRole).toString() : QString());
    });
    tabs->addTab(fieldsPage, QStringLiteral("Polia a premenné"));
    return tabs;
}

void DesignerWindow::updateCaption()
{
    QString caption = QStringLiteral("Návrhár zostáv - ") + QFileInfo(m_doc.fileName()).fileName();
    if (m_doc.isReadOnly())
        caption += QStringLiteral(" (len na čítanie)");
    else if (m_doc.isModified())
        caption += QStringLiteral(" *");
    setWindowTitle(caption);
}

void DesignerWindow::showSelection()
{
    m_updating = true;
    const BandRef band = m_view->currentBand();
    const Band* b = m_doc.band(band);
    m_bandCaption->setText(b ? DesignerDocument::bandCaption(band) : QString());
    m_bandHeight->setEnabled(b);
    m_bandHeight->setValue(b ? b->height : 0);
    const bool group = b && band.group >= 0;
    m_groupCondition->setEnabled(group);
    m_groupCondition->setText(group ? m_doc.layout().groups[size_t(band.group)].condition : QString());
    m_newPage->setEnabled(group);
    m_newPage->setChecked(group && m_doc.layout().groups[size_t(band.group)].newPageAfterFooter);
    m_masterAlias->setEnabled(b && band.kind == BandKind::MasterData);
    m_masterAlias->setText(m_doc.layout().masterAlias);

    const auto& sel = m_view->selection();
    const ReportObject* o = sel.size() == 1 ? m_doc.object(sel.front()) : nullptr;
    m_objectBox->setEnabled(o && !m_doc.isReadOnly());
    if (o) {
        m_text->setText(o->text);
        m_text->setEnabled(o->kind == ObjectKind::Text);
        m_x->setValue(o->x);
        m_y->setValue(o->y);
        m_w->setValue(o->width);
        m_h->setValue(o->height);
        m_fontFamily->setCurrentFont(QFont(o->font.family));
        m_fontSize->setValue(o->font.size);
        m_bold->setChecked(o->font.bold);
        m_italic->setChecked(o->font.italic);
        m_underline->setChecked(o->font.underline);
        m_hAlign->setCurrentIndex(int(o->hAlign));
        m_vAlign->setCurrentIndex(int(o->vAlign));
        m_frameWidth->setValue(o->frameWidth);
        m_color = o->color;
        m_frameColor = o->frameColor;
        m_frameLeft->setChecked(o->frame & FrameLeft);
        m_frameTop->setChecked(o->frame & FrameTop);
        m_frameRight->setChecked(o->frame & FrameRight);
        m_frameBottom->setChecked(o->frame & FrameBottom);
        m_fill = o->fill;
        m_fillOn->setChecked(o->fill.isValid());
        m_format->setText(o->format);
        m_stretch->setChecked(o->stretch);
        m_wordWrap->setChecked(o->wordWrap);
    }
    m_updating = false;
}

void DesignerWindow::applyProperties()
{
    if (m_updating)
        return;
    const auto& sel = m_view->selection();
    if (sel.size() != 1)
        return;
    const ReportObject* current = m_doc.object(sel.front());
    if (!current)
        return;
    ReportObject o = *current;
    o.text = m_text->text();
    o.x = m_x->value();
    o.y = m_y->value();
    o.width = m_w->value();
    o.height = m_h->value();
    o.font.family = m_fontFamily->currentFont().family();
    o.font.size = m_fontSize->value();
    o.font.bold = m_bold->isChecked();
    o.font.italic = m_italic->isChecked();
    o.font.underline = m_underline->isChecked();
    o.hAlign = HAlign(m_hAlign->currentIndex());
    o.vAlign = VAlign(m_vAlign->currentIndex());
    o.frameWidth = m_frameWidth->value();
    o.color = m_color;
    o.frameColor = m_frameColor;
    o.frame = (m_frameLeft->isChecked() ? FrameLeft : 0) | (m_frameTop->isChecked() ? FrameTop : 0) |
              (m_frameRight->isChecked() ? FrameRight : 0) | (m_frameBottom->isChecked() ? FrameBottom : 0);
    o.fill = m_fillOn->isChecked() ? (m_fill.isValid() ? m_fill : QColor(Qt::lightGray)) : QColor();
    o.format = m_format->text();
    o.stretch = m_stretch->isChecked();
    o.wordWrap = m_wordWrap->isChecked();
    m_doc.setObject(sel.front(), o, QStringLiteral("Vlastnosti"));
}

void DesignerWindow::place(const BandRef& band, const ReportObject& object)
{
    const int index = m_doc.addObject(band, object);
    if (index >= 0)
        m_view->setSelection({{band, index}});
}

void DesignerWindow::insertObject(ObjectKind kind)
{
    BandRef band = m_view->currentBand();
    if (!m_doc.band(band))
        return;
    ReportObject o;
    o.kind = kind;
    o.width = kind == ObjectKind::Line ? 50 : 30;
    o.height = kind == ObjectKind::Line ? 0 : 5;
    if (kind == ObjectKind::Text)
        o.text = QStringLiteral("Text");
    if (kind == ObjectKind::Rectangle)
        o.frame = FrameAll;
    place(band, o);
}

void DesignerWindow::insertImage()
{
    const BandRef band = m_view->currentBand();
    if (!m_doc.band(band))
        return;
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Obrázok"), QString(),
                                                      QStringLiteral("Obrázky (*.png *.jpg *.jpeg)"));
    if (file.isEmpty())
        return;
    QFile f(file);
    QImage image;
    if (!f.open(QIODevice::ReadOnly) || !image.loadFromData(f.readAll())) {
        QMessageBox::warning(this, QStringLiteral("Návrhár zostáv"),
                             QStringLiteral("Obrázok %1 sa nedá načítať.").arg(QDir::toNativeSeparators(file)));
        return;
    }
    f.seek(0);
    ReportObject o;
    o.kind = ObjectKind::Image;
    o.image = f.readAll();
    o.height = std::min(m_doc.band(band)->height, 20.0);
    o.width = o.height * image.width() / std::max(1, image.height());
    place(band, o);
}

void DesignerWindow::insertField(const QString& expression)
{
    BandRef band = m_view->currentBand();
    if (!m_doc.band(band))
        band = {BandKind::MasterData, -1};
    if (!m_doc.band(band))
        return;
    // Right of the band's last object, so inserted fields line up.
    double x = 0;
    for (const ReportObject& o : m_doc.band(band)->objects)
        x = std::max(x, o.x + o.width);
    ReportObject o;
    o.text = expression;
    o.x = x;
    o.width = 30;
    o.height = std::min(5.0, m_doc.band(band)->height);
    place(band, o);
}

void DesignerWindow::addGroup()
{
    bool ok = false;
    const QString first = m_doc.fieldExpressions().value(0);
    const QString condition = QInputDialog::getText(this, QStringLiteral("Skupina"),
                                                    QStringLiteral("Nová skupina začína, keď sa zmení hodnota:"),
                                                    QLineEdit::Normal, first, &ok);
    if (ok && !condition.trimmed().isEmpty())
        m_doc.addGroup(condition.trimmed());
}

bool DesignerWindow::save()
{
    try {
        if (m_doc.isReadOnly()) {
            saveAs();
            return !m_doc.isModified();
        }
        m_doc.save();
        return true;
    } catch (const Error& e) {
        QMessageBox::warning(this, QStringLiteral("Návrhár zostáv"),
                             e.message() + QStringLiteral("\nZostava zostáva neuložená."));
        return false;
    }
}

void DesignerWindow::saveAs()
{
    const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Uložiť zostavu ako"), m_doc.fileName(),
                                                      QStringLiteral("Zostavy (*.frf)"));
    if (file.isEmpty())
        return;
    try {
        m_doc.saveAs(file);
    } catch (const Error& e) {
        QMessageBox::warning(this, QStringLiteral("Návrhár zostáv"),
                             e.message() + QStringLiteral("\nZostava zostáva neuložená."));
    }
}

void DesignerWindow::runPreview()
{
    if (!m_preview)
        return;
    try {
        m_preview(m_doc.layout());
    } catch (const Error& e) {
        QMessageBox::warning(this, QStringLiteral("Návrhár zostáv"), e.message());
    }
}

bool DesignerWindow::maySafelyClose()
{
    if (!m_doc.isModified() || m_doc.isReadOnly())
        return true;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Návrhár zostáv"),
                    QStringLiteral("Uložiť zmeny v zostave %1?").arg(QFileInfo(m_doc.fileName()).fileName()),
                    QMessageBox::NoButton, this);
    QPushButton* yes = box.addButton(QStringLiteral("Áno"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Nie"), QMessageBox::NoRole);
    box.addButton(QStringLiteral("Zrušiť"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.exec();
    if (box.clickedButton() == yes)
        return save();
    return box.clickedButton() == no;
}

void DesignerWindow::reject()
{
    if (maySafelyClose())
        QDialog::reject();
}

}  // namespace report
