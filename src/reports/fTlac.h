#pragma once

#include "reportengine/Report.h"
#include "reports/ReportDataset.h"
#include "reports/ReportRequest.h"

#include <QDialog>

#include <functional>
#include <memory>

class QPushButton;

// The reports folder joined with the file name part of `name` (a name may
// come with a folder written with either separator; only its last part counts).
QString ReportFilePath(const QString& reportsFolder, const QString& name);

// Where a layout is read from: the reports folder when the file is there,
// else the shipped folder (an installed program's layouts, read-only) when it
// is there, else the reports folder, where the designer makes it.
QString FindReportFile(const QString& reportsFolder, const QString& shippedFolder, const QString& name);

// Registers the program's report functions with the engine for the life of
// the object (category "Quendel").
class TQDLFunctionLibrary {
public:
    TQDLFunctionLibrary();
    ~TQDLFunctionLibrary();
    TQDLFunctionLibrary(const TQDLFunctionLibrary&) = delete;
    TQDLFunctionLibrary& operator=(const TQDLFunctionLibrary&) = delete;
};

// The report runner: loads the layout, fills the master dataset from the
// request's statement and lets the user print or preview the report. While it
// exists the program's own report functions are known to every report.
class TfrmTlac : public QDialog {
    Q_OBJECT
public:
    // `shippedFolder`: layouts the user does not have in `reportsFolder` are
    // read from there; the designer saves them into `reportsFolder`.
    explicit TfrmTlac(const QString& reportsFolder, const QString& shippedFolder = {}, QWidget* parent = nullptr);
    ~TfrmTlac() override;

    // Everything up to showing the window: the layout (when its file is
    // there), the title, the variables and the rows, read in one snapshot so
    // totals and rows agree. Reports an empty result or a database error to
    // the user and gives false then.
    bool open(const ReportRequest& request);

    const QString& layoutPath() const { return m_path; }
    // Where the designer saves the layout: layoutPath(), or for a shipped
    // layout the same name in the reports folder.
    QString designerPath() const;
    // Why the layout file could not be read (a damaged file); empty when it
    // was read or is missing. Print and preview then open the designer.
    const QString& layoutError() const { return m_layoutError; }
    report::Report& report() { return m_report; }
    const TReportQueryDataset& master() const { return m_master; }

    // Both passes; throws report::Error for a layout the engine cannot run.
    std::shared_ptr<const report::PreparedReport> prepare();

    QPushButton* btnPrint;
    QPushButton* btnPreview;
    QPushButton* btnEdit;

    // Opens the designer on layoutPath() (tests replace it); the runner
    // reloads the layout afterwards. Empty: the report designer window.
    static std::function<void(TfrmTlac&)> Designer;

private:
    void print();
    void preview();
    // The designer on the layout, or on an empty one when its file is missing.
    void edit();
    void openDesigner();
    // Reads the layout when its file is there; a damaged one leaves its reason in m_layoutError.
    void loadLayout();
    bool layoutUsable() const;

    TQDLFunctionLibrary m_library;

    QString m_folder;
    QString m_shipped;
    QString m_layoutName;
    QString m_path;
    QString m_layoutError;
    report::Report m_report;
    TReportQueryDataset m_master;
};

// The report run of the parameter dialogs: the runner over `reportsFolder`
// (and `shippedFolder`), shown when there is something to print.
void RunReport(const ReportRequest& request, const QString& reportsFolder, const QString& shippedFolder = {});
