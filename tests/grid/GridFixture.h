#pragma once

#include "TestDatabase.h"
#include "controls/DbGridQDL.h"
#include "controls/ListToolbar.h"
#include "controls/RegisterRefresh.h"
#include "controls/TempSpracuj.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/MainConnection.h"
#include "support/DialogTranscript.h"
#include "support/TempSettings.h"

#include <QAbstractItemModelTester>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

// A units register over a fresh migrated database: a window holding grid
// "gr1" with the columns JEDIN and SKRATKA, refreshed by the standard refresh
// (which counts its runs). Every model change is checked by Qt's model tester.
class GridFixture : public ::testing::Test {
protected:
    GridFixture()
    {
        setMainConnection(&db.connection());
        db.exec({QStringLiteral("delete from merne_jednotky")});
        window.setObjectName(QStringLiteral("frmTest"));
        grid = new TDbGridQDL(&window);
        (new QVBoxLayout(&window))->addWidget(grid);
        grid->setObjectName(QStringLiteral("gr1"));
        grid->SetColumns({column("JEDIN", "Číslo", "a.jedin"), column("SKRATKA", "Skratka", "a.skratka")});
        grid->SetActiveTitleIndex(1);
        tester = std::make_unique<QAbstractItemModelTester>(grid->gridModel(),
                                                            QAbstractItemModelTester::FailureReportingMode::Fatal);
        refresh = std::make_unique<TRegisterRefresh>(
            grid, QStringList{QStringLiteral("select a.jedin, a.skratka")}, QStringLiteral("merne_jednotky"));
        refresh->filters = [this](QStringList& lines, QVariantMap& params) {
            if (maxJedin > 0) {
                lines << QStringLiteral("and a.jedin <= :MAXJ");
                params.insert(QStringLiteral("MAXJ"), maxJedin);
            }
        };
        refresh->pnlFilter = &filterPanel;
        grid->OnDisplayGrid = [this] {
            ++displays;
            refresh->Refresh();
        };
    }

    ~GridFixture() override
    {
        for (const DialogRequest& r : unexpected.requests())
            ADD_FAILURE() << "unexpected dialog: " << r.text.toStdString();
        refresh.reset();
        tester.reset();
        setMainConnection(nullptr);
    }

    static TQDLColumn column(const char* field, const char* title, const char* orderBy = "")
    {
        TQDLColumn c;
        c.FieldName = QString::fromUtf8(field);
        c.TitleCaption = QString::fromUtf8(title);
        c.OrderBy = QString::fromUtf8(orderBy);
        return c;
    }

    // Units 1..n named U1..Un, or by the given names.
    void fillUnits(int n)
    {
        db.exec({QStringLiteral("execute block as declare i integer = 1; begin "
                                "while (i <= %1) do begin "
                                "insert into merne_jednotky (jedin, skratka) values (:i, 'U' || :i); i = i + 1; "
                                "end end")
                     .arg(n)});
    }
    void fillUnits(const QStringList& names)
    {
        QStringList sql;
        for (int i = 0; i < names.size(); ++i)
            sql << QStringLiteral("insert into merne_jednotky (jedin, skratka) values (%1, '%2')").arg(i + 1).arg(names[i]);
        db.exec(sql);
    }

    // Shows the units up to maxJ (all when 0) through the standard refresh.
    void open(int maxJ = 0)
    {
        maxJedin = maxJ;
        maxJ > 0 ? filterPanel.show() : filterPanel.hide();
        grid->DisplayGrid();
    }

    void markKeys(std::initializer_list<int> keys)
    {
        for (int key : keys) {
            ASSERT_TRUE(grid->Locate(QStringLiteral("JEDIN"), key));
            grid->CheckCurrent();
        }
    }

    qlonglong count(const QString& sql) { return db.scalar(sql).toLongLong(); }

    TempSettings settings;
    DialogTranscript unexpected{msg::OK};  // tests that expect dialogs install their own
    TestDatabase db{TestDatabase::Migrated};
    QWidget window;
    QWidget filterPanel;
    TDbGridQDL* grid = nullptr;
    std::unique_ptr<QAbstractItemModelTester> tester;
    std::unique_ptr<TRegisterRefresh> refresh;
    int maxJedin = 0;
    int displays = 0;
};
