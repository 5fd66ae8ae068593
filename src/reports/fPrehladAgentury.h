#pragma once

#include "forms/FormUni.h"
#include "reportengine/ReportPages.h"
#include "reports/PrehladAgenturySql.h"

#include <functional>
#include <memory>
#include <vector>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QTableWidget;
class TIBDate;
class TQDLBtn;

// The agency at a glance: income, cost and profit in € per month for the last
// 24 months as a chart, and for a chosen period the ten customers with the
// highest income and the ten translators with the most jobs (their average
// rating and the share of jobs delivered in time). The chart saves as a PNG
// picture, each table in any of the report engine's export formats.
class TfrmPrehladAgentury : public TFormUni {
    Q_OBJECT
public:
    explicit TfrmPrehladAgentury(QWidget* parent = nullptr);
    ~TfrmPrehladAgentury() override;

    // Reads every figure again: the months up to today and the chosen period.
    void Refresh();
    // Sets the chooser (and the dates, except for the typed period) and refreshes.
    void ChoosePeriod(OverviewPeriod period);

    const std::vector<MonthFigures>& months() const { return m_months; }
    const std::vector<CustomerFigures>& customers() const { return m_customers; }
    const std::vector<TranslatorFigures>& translators() const { return m_translators; }

    // The tables as the report engine prepares them for export.
    std::shared_ptr<const report::PreparedReport> CustomersReport() const;
    std::shared_ptr<const report::PreparedReport> TranslatorsReport() const;
    // The chart as a picture of its size on screen (at least 800 × 400).
    QImage ChartImage() const;

    // Asks where to save (caption, suggested name, filters, the chosen filter
    // in and out); an empty name cancels. The file dialog unless replaced.
    using AskFileName = std::function<QString(QWidget*, const QString&, const QString&, const QString&, QString*)>;
    AskFileName askFileName;

    QComboBox* eObdobie = nullptr;
    TIBDate* eDatumOd = nullptr;
    TIBDate* eDatumDo = nullptr;
    TQDLBtn* btnObnov = nullptr;
    QChartView* chvMesiace = nullptr;
    TQDLBtn* btnGrafPng = nullptr;
    QLabel* lblObjednavatelia = nullptr;
    QTableWidget* grObjednavatelia = nullptr;
    TQDLBtn* btnExportObjednavatelia = nullptr;
    QLabel* lblPrekladatelia = nullptr;
    QTableWidget* grPrekladatelia = nullptr;
    TQDLBtn* btnExportPrekladatelia = nullptr;
    TQDLBtn* btnZavriet = nullptr;

protected:
    bool keyPreview(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildUi();
    void fillChart();
    void fillTables();
    void saveChart();
    void exportTable(const std::shared_ptr<const report::PreparedReport>& prepared);
    QString periodText() const;

    std::vector<MonthFigures> m_months;
    std::vector<CustomerFigures> m_customers;
    std::vector<TranslatorFigures> m_translators;
    bool m_shownOnce = false;
    bool m_settingPeriod = false;
};

// Runs the overview modally (created, filled, shown, destroyed).
void RunPrehladAgentury();
