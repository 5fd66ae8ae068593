#pragma once

#include "fb/Statement.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

// What a parameter dialog hands to the report run: everything the report
// needs, nothing of the dialog.
struct ReportVariable {
    QString category;  // " Nastavenia": the name begins with a blank
    QString name;
    QVariant value;
};

struct ReportRequest {
    QString title;       // the dialog's caption
    QString layoutName;  // file name in the reports folder: "Preh_Obj_Sk.frf"
    fb::Statement statement;  // the rows of the main dataset, aliased "MASTER"
    QList<ReportVariable> variables;
};

// Runs one report: prepares it from the request and lets the user preview or
// print it. Reports "Nie sú údaje pre tlač." when the statement gives no rows.
using ReportRun = std::function<void(const ReportRequest&)>;
