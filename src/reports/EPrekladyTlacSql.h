#pragma once

#include "reports/ReportRequest.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <utility>

// The statements of the report dialogs, built from their values without a
// window, so that tests read exactly what the server gets. A date that is not
// valid counts as not entered; an address or choice that is null or invalid as
// not chosen.

// The whole previous calendar month, first and last day.
std::pair<QDate, QDate> DefaultReportPeriod(const QDate& today);

// The period on `column`: "<column> between :OD and :DO" (the earlier date as
// OD), "<column>>=:OD", "<column><=:DO", or the empty text with neither date;
// the dates go into `params`.
QString PeriodCondition(const QString& column, const QDate& od, const QDate& doDate, QVariantMap& params);

// ---- job lists (menu items 1 to 3) ----------------------------------------------
// Modes: 0 by customers, 1 by translators, 2 by project manager.
struct ZoznamValues {
    int mode = 0;
    QDate od, doDate;
    QVariant adresar;  // record number of the customer (translator in mode 1)
    bool dodane = true;   // only sent (mode 1: delivered) jobs
    bool faktura = true;  // only not invoiced (mode 1: not paid) jobs
    bool skupiny = true;  // by language-combination group
    QVariant jazyk = 1;   // output language: 1 Slovak, anything else English
};
QString ZoznamCaption(int mode);
QString ZoznamLayoutName(int mode, const QVariant& jazyk);
fb::Statement ZoznamStatement(const ZoznamValues& v);
ReportRequest ZoznamRequest(const ZoznamValues& v);

// ---- profitability (menu items 4 to 6) ------------------------------------------
struct ZiskovostValues {
    int mode = 0;
    QDate od, doDate;
    QVariant adresar;
    bool dodane = true;  // only delivered jobs
    QVariant orderBy = 1;  // choice list "ziskovost_orderby"
    bool skupiny = true;
};
QString ZiskovostCaption(int mode);
// "order by ..." of a sort choice; empty for anything but 1 to 9.
QString ZiskovostOrderLine(const QVariant& choice);
fb::Statement ZiskovostStatement(const ZiskovostValues& v);
ReportRequest ZiskovostRequest(const ZiskovostValues& v);

// ---- monthly profitability (menu item 7) ----------------------------------------
struct ZiskovostMesacnaValues {
    QDate od, doDate;
    bool dodane = true;  // only sent jobs
    bool zoskupit = false;   // per address within the month
    QVariant zoskupitPodla = 0;  // 0 customers, 1 translators
    bool skupiny = true;
};
QString ZiskovostMesacnaCaption();
fb::Statement ZiskovostMesacnaStatement(const ZiskovostMesacnaValues& v);
ReportRequest ZiskovostMesacnaRequest(const ZiskovostMesacnaValues& v);

// ---- translator evaluation (menu item 8) ----------------------------------------
struct HodnotenieValues {
    QDate od, doDate;
    QVariant adresar;  // translator
    QVariant jazyk = 1;
    bool skupiny = true;
};
QString HodnotenieCaption();
QString HodnotenieLayoutName(const QVariant& jazyk);
fb::Statement HodnotenieStatement(const HodnotenieValues& v);
ReportRequest HodnotenieRequest(const HodnotenieValues& v);

// The category of the report variables and its one variable.
inline const char* const kVariableCategory = " Nastavenia";
inline const char* const kVariableTyp = "Typ";
