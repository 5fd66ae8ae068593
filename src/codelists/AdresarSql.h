#pragma once

#include "fb/Statement.h"

#include <QStringList>
#include <QVariant>
#include <QVariantMap>

// The statements of the address book, its contact editor and its rate editor,
// built without a window. Values typed by the user travel as parameters.

// What the address book's contact query depends on.
struct AdresarFilter {
    bool translators = false;  // TYP 1; customers are TYP 0
    QVariant kombinacia;       // the chosen language combination, or null
    QString text;              // "Jazyková kombinácia obsahuje text:"
    QString marked;            // the marked-records condition ("" for none)
};

// The contacts of one type with the chosen combination's rate, the average
// rating in that combination and the date of the latest job (sent to a
// customer, delivered by a translator), ordered by `orderBy`.
fb::Statement AdresarContactStatement(const AdresarFilter& filter, const QString& orderBy);

// The rates of one contact with the names of their combination and unit.
fb::Statement AdresarRateStatement(const QVariant& adresar, const QString& marked, const QString& orderBy);

// The prices per unit that the contact's jobs of one combination carried, on
// the contact's side (translators: PRE_, customers: OBJ_), newest first,
// without zero prices. A job with an exchange rate of 0 shows no euro price
// instead of failing the whole list.
fb::Statement PriceHistoryStatement(bool translator, const QVariant& adresar, const QVariant& kombinacia);

// The contact editor's and the rate editor's statements.
extern const QStringList kSelectAdresar;
extern const QStringList kInsertAdresar;
extern const QStringList kUpdateAdresar;
extern const QStringList kSelectKombinacie;
extern const QStringList kInsertKombinacie;
extern const QStringList kUpdateKombinacie;
