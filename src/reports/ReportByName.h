#pragma once

#include "reports/ReportRequest.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

// The eight reports of the report menu by name, with the options of their
// dialogs, for scripts (lindavo-report --zostava). The request is built by the
// dialogs' own functions (ZoznamRequest, ...), so a script gets the very
// statement the dialog would give.

// "zoznam-objednavatelia", "zoznam-prekladatelia", "zoznam-pm",
// "ziskovost-objednavatelia", "ziskovost-prekladatelia", "ziskovost-pm",
// "ziskovost-mesacna", "hodnotenie", in the menu's order.
QStringList NamedReports();

// Options as a script gives them; what is not set takes the default the
// dialog shows when it opens.
struct NamedReportOptions {
    QString report;
    std::optional<QDate> od, doDate;  // either one set: the other stays empty, as in the dialog
    bool allTime = false;             // no period at all
    QVariant adresar;                 // record number of the customer or translator
    std::optional<bool> dodane, faktura, skupiny;
    std::optional<int> zoskupitPodla;  // monthly: 0 by customers, 1 by translators within the month
    std::optional<int> jazyk;          // 1 Slovak, 2 English
    std::optional<int> zoradit;        // profitability: the sort choice 1 to 9
};

// The address type the report's address means: 1 translators, 0 customers;
// -1 for the monthly report, which takes none.
int NamedReportAddressType(const QString& report);

// The dialog's request for these options on `today` (for the default period,
// the previous month). Nothing, and `error` in Slovak, for an unknown report or
// an option the report's dialog does not have.
std::optional<ReportRequest> NamedReportRequest(const NamedReportOptions& options, const QDate& today, QString& error);
