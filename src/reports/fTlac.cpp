#include "reports/fTlac.h"

#include "fb/Decimal.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/DbOperation.h"
#include "framework/Messages.h"
#include "framework/SlotGuard.h"
#include "framework/WaitPlease.h"
#include "reportengine/ReportError.h"
#include "reportengine/ReportPreview.h"
#include "reportengine/ReportPrint.h"
#include "reportengine/designer/DesignerWindow.h"
#include "reports/ReportFunctions.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace {

QVariant toVariant(const report::Value& v)
{
    using K = report::Value::Kind;
    switch (v.kind()) {
    case K::Null: return {};
    case K::Bool: return v.toBool();
    // Exact decimals stay exact: MONEYTOSTR cuts the fraction of the real digits.
    case K::Number: return QVariant::fromValue(fb::Decimal(v.decimalValue().raw(), 6));
    case K::Float: return v.toDouble();
    case K::Text: return v.textValue();
    case K::Date: return v.toDate();
    case K::DateTime: return v.toDateTime();
    }
    return {};
}

// Several runners may live at once (a report opened from a preview); the
// functions go when the last one does.
int g_libraryUsers = 0;

}  // namespace

TQDLFunctionLibrary::TQDLFunctionLibrary()
{
    if (g_libraryUsers++ > 0)
        return;
    for (const ReportFunction& f : ReportFunctions()) {
        report::Function rf;
        rf.name = f.name;
        rf.category = ReportFunctionCategory();
        rf.description = f.description;
        rf.minArgs = rf.maxArgs = f.argumentCount;
        rf.call = [call = f.call](const std::vector<report::Value>& args) {
            QVariantList list;
            for (const report::Value& a : args)
                list << toVariant(a);
            return TReportQueryDataset::toReportValue(call(list));
        };
        report::FunctionRegistry::global().add(std::move(rf));
    }
}

TQDLFunctionLibrary::~TQDLFunctionLibrary()
{
    if (--g_libraryUsers > 0)
        return;
    for (const ReportFunction& f : ReportFunctions())
        report::FunctionRegistry::global().remove(f.name);
}

QString ReportFilePath(const QString& reportsFolder, const QString& name)
{
    QString fileName = name;
    const qsizetype cut = std::max(fileName.lastIndexOf(u'/'), fileName.lastIndexOf(u'\\'));
    if (cut >= 0)
        fileName = fileName.mid(cut + 1);
    QString folder = QDir::fromNativeSeparators(reportsFolder);
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
    return QDir::toNativeSeparators(folder + fileName);
}

QString FindReportFile(const QString& reportsFolder, const QString& shippedFolder, const QString& name)
{
    const QString own = ReportFilePath(reportsFolder, name);
    if (shippedFolder.isEmpty() || QFileInfo(own).isFile())
        return own;
    const QString shipped = ReportFilePath(shippedFolder, name);
    return QFileInfo(shipped).isFile() ? shipped : own;
}

std::function<void(TfrmTlac&)> TfrmTlac::Designer;

TfrmTlac::TfrmTlac(const QString& reportsFolder, const QString& shippedFolder, QWidget* parent)
    : QDialog(parent), m_folder(reportsFolder), m_shipped(shippedFolder)
{
    setObjectName(QStringLiteral("frmTlac"));
    setWindowTitle(QStringLiteral("Tlač..."));
    setFixedSize(169, 149);
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.1);
    const auto button = [&](const char* name, const QString& caption, int y) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setFont(bold);
        b->setAutoDefault(false);
        b->setGeometry(8, y, 153, 41);
        return b;
    };
    btnPrint = button("btnPrint", QStringLiteral("Tlač na tlačiareň"), 8);
    btnPreview = button("btnPreview", QStringLiteral("Náhľad pred tlačou"), 54);
    btnEdit = button("btnEdit", QStringLiteral("Editovanie zostavy"), 100);
    btnPreview->setDefault(true);
    connect(btnPrint, &QPushButton::clicked, this, guarded([this] { print(); }));
    connect(btnPreview, &QPushButton::clicked, this, guarded([this] { preview(); }));
    connect(btnEdit, &QPushButton::clicked, this, guarded([this] { edit(); }));
}

TfrmTlac::~TfrmTlac() = default;

bool TfrmTlac::open(const ReportRequest& request)
{
    m_layoutName = request.layoutName;
    m_path = FindReportFile(m_folder, m_shipped, m_layoutName);
    // A missing layout is no error: the buttons open the designer under its name.
    loadLayout();
    m_report.setTitle(request.title);
    for (const ReportVariable& v : request.variables)
        m_report.setVariable(v.category, v.name, TReportQueryDataset::toReportValue(v.value));
    // The period for the heading; a side not entered stays empty.
    m_report.setVariable(QStringLiteral(" Nastavenia"), QStringLiteral("Od"),
                         TReportQueryDataset::toReportValue(request.statement.params.value(QStringLiteral("OD"))));
    m_report.setVariable(QStringLiteral(" Nastavenia"), QStringLiteral("Do"),
                         TReportQueryDataset::toReportValue(request.statement.params.value(QStringLiteral("DO"))));

    bool read = false;
    {
        WaitPleaseScope wait;
        // A snapshot: rows and totals of one report agree while others save jobs.
        read = RunInTransaction({QStringLiteral("concurrency"), QStringLiteral("read"), QStringLiteral("nowait")},
                                [&](fb::Transaction& tr) {
                                    fb::Query q(tr);
                                    q.setStatement(request.statement);
                                    m_master.fill(q);
                                });
    }
    if (!read)
        return false;
    m_report.setDataset(QStringLiteral("MASTER"), &m_master);
    if (m_master.rowCount() == 0) {
        NoPrintData();
        return false;
    }
    return true;
}

std::shared_ptr<const report::PreparedReport> TfrmTlac::prepare()
{
    WaitPleaseScope wait;
    return std::make_shared<const report::PreparedReport>(m_report.prepare());
}

void TfrmTlac::loadLayout()
{
    m_layoutError.clear();
    if (!QFileInfo(m_path).isFile())
        return;
    try {
        m_report.loadFromFile(m_path);
    } catch (const report::Error& e) {
        // Not the end of the run: the designer opens on it with the reason.
        m_layoutError = e.message();
    }
}

bool TfrmTlac::layoutUsable() const
{
    return m_layoutError.isEmpty() && QFileInfo(m_path).isFile();
}

void TfrmTlac::print()
{
    // A layout deleted since the dialog opened, or damaged, leads to the designer too.
    if (!layoutUsable())
        return edit();
    const auto prepared = prepare();
    QPrinter printer(QPrinter::HighResolution);
    report::setUpPrinter(printer, *prepared);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    report::printReport(*prepared, printer);
    accept();
}

void TfrmTlac::preview()
{
    if (!layoutUsable())
        return edit();
    report::PreviewWindow window(prepare(), this);
    window.setWindowTitle(m_report.title());
    window.exec();
    accept();
}

QString TfrmTlac::designerPath() const
{
    return ReportFilePath(m_folder, m_layoutName);
}

void TfrmTlac::edit()
{
    // A shipped layout becomes the user's own when saved: his folder may not
    // exist yet.
    if (designerPath() != m_path)
        QDir().mkpath(QFileInfo(designerPath()).absolutePath());
    if (Designer)
        Designer(*this);
    else
        openDesigner();
    // What was saved there is what the next print uses: a shipped layout
    // saved by the designer is the user's own from now on.
    m_path = FindReportFile(m_folder, m_shipped, m_layoutName);
    loadLayout();
}

void TfrmTlac::openDesigner()
{
    report::DesignerWindow designer(this);
    designer.setFieldNames(m_master.columnNames());
    designer.openOrCreate(m_path, designerPath());
    designer.setPreview([this, &designer](const report::Layout& layout) {
        const report::Layout saved = m_report.layout();
        m_report.setLayout(layout);
        std::shared_ptr<const report::PreparedReport> prepared;
        try {
            prepared = prepare();
        } catch (...) {
            m_report.setLayout(saved);
            throw;
        }
        m_report.setLayout(saved);
        report::PreviewWindow window(prepared, &designer);
        window.setWindowTitle(m_report.title());
        window.exec();
    });
    designer.exec();
}

void RunReport(const ReportRequest& request, const QString& reportsFolder, const QString& shippedFolder)
{
    TfrmTlac runner(reportsFolder, shippedFolder);
    if (runner.open(request))
        runner.exec();
}
