#pragma once

// Opens every row of a table in its editor and saves it with F12 unchanged:
// the sample agency's records must pass their own checks without a dialog
// and come back exactly as they were (a cut name, a rounded price, a look-up
// that finds another row than its own shows up here).
#include "TestDatabase.h"
#include "forms/FormDetails.h"
#include "support/DialogTranscript.h"
#include "support/Modal.h"

#include <QApplication>
#include <QTest>

#include <functional>

#include <gtest/gtest.h>

template <class Editor>
void ExpectEveryRowSavesUnchanged(TestDatabase& db, const QString& table, Editor& editor,
                                  const std::function<void(TFormDetails&, const QVariantMap&)>& details = {})
{
    const std::map<qint64, QVariantMap> before = db.rows(table);
    ASSERT_FALSE(before.empty());
    DialogTranscript transcript;
    for (const auto& [jedin, row] : before) {
        TFormDetails d;
        InitDetails(d, TFormDetails::Edit, {}, jedin);
        if (details)
            details(d, row);
        onNextModal([&](QWidget*) {
            QApplication::setActiveWindow(&editor);
            QTest::keyClick(&editor, Qt::Key_F12);
            if (editor.isVisible())
                editor.reject();
        });
        editor.SetDetails(d);
        EXPECT_EQ(d.result(), TFormDetails::ResultOk) << table.toStdString() << " " << jedin << " was not saved";
        if (transcript.count() > 0) {
            ADD_FAILURE() << table.toStdString() << " " << jedin << ": " << transcript.last().text.toStdString();
            transcript.clear();
        }
    }
    const std::map<qint64, QVariantMap> after = db.rows(table);
    for (const auto& [jedin, row] : before)
        for (auto it = row.begin(); it != row.end(); ++it)
            EXPECT_EQ(after.at(jedin).value(it.key()), it.value())
                << table.toStdString() << " " << jedin << ", " << it.key().toStdString();
}
