#pragma once

#include "fb/Statement.h"
#include "register/DeadlineSql.h"

#include <QDate>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

// The statement of the translation register, built from the filter panel
// without a window, so that tests read exactly what the server gets.

// The filter panel's values. The three date filters use the choice list
// "filter_datum": 0 all, 1 the date is empty, 2 the date is entered.
struct PrekladyFilter {
    QVariant objednavatel;  // customer record number; invalid when none is chosen
    QVariant prekladatel;   // translator record number
    int zadanie = 0;
    int dodanie = 0;
    int odoslanie = 1;  // the cleared filter lists only jobs not yet sent
    bool ibaNefakturovane = false;
    bool ibaNevyplatene = false;
    QString pm;
    QString text;
    DeadlineFilter termin = DeadlineFilter::All;  // not yet sent, late or due today or tomorrow
    QDate dnes;  // the day the deadline filter counts from
};

// `markedCondition` is the grid's marked-records condition for the prefix
// "a." (empty when the marked-only view is off or nothing is marked);
// `orderBy` the text after "order by".
fb::Statement PrekladyRefreshStatement(const PrekladyFilter& filter, const QString& markedCondition,
                                      const QString& orderBy);

// The mark column is 25 characters wide: the text filter compares the mark
// with that many characters of what was typed.
constexpr int kZnackaLength = 25;
