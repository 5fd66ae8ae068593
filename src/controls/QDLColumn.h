#pragma once

#include <QString>

// One column of a record grid (TQDLColumn): which field it shows, its title, and
// how it takes part in ordering, finding and width fitting.
enum TCollateBy { coNoCollate, coPXW_CSY, coWin1250 };
enum TOrderSort { osASC, osDESC, osNone };
enum TNullsPosition { npDefault, npNullsLast, npNullsFirst };

struct TQDLColumn {
    QString FieldName;
    QString TitleCaption;
    Qt::Alignment TitleAlignment = Qt::AlignCenter;
    Qt::Alignment Alignment = Qt::AlignLeft;
    int Width = 64;
    // How the value is shown: ",0.00" (thousands grouped, two decimals),
    // "dd.mm.yyyy", "dd.mm.yyyy hh:nn:ss"; empty: the plain text of the value.
    QString DisplayFormat;
    bool Visible = true;

    bool AutoSizeAlignment = true;  // takes part in AutoFitColumns
    bool FindExternal = false;      // the window searches this column itself
    QString OrderBy;                // ORDER BY expression; empty means FieldName
    TCollateBy CollateBy = coNoCollate;
    TOrderSort Order = osASC;       // osNone keeps the column out of the ORDER BY
    QString FindBy;                 // words for the find dialog's caption
    QString FindByField;            // field searched instead of FieldName
    TNullsPosition NullsPosition = npDefault;
};
