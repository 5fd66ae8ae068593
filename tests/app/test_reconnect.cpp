// The server restarts under a running program: the user is told once, in
// Slovak, that the connection broke; repeating the action reconnects with
// the same settings and the same user; an open editor keeps what was typed
// and saves after the reconnect; the register refreshes; closing windows
// raises nothing. Against a real server on 127.0.0.1 with two attachments.
#include "support/DialogTranscript.h"
#include "support/Modal.h"
#include "support/TempSettings.h"
#include "support/Typing.h"
#include "FirebirdServer.h"
#include "TestDatabase.h"

#include "framework/SlotGuard.h"
#include "app/fMain.h"
#include "controls/DbGridQDL.h"
#include "controls/IBEdit.h"
#include "fb/Connection.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/ErrorTranslation.h"
#include "register/fEPreklady.h"
#include "register/fEPrekladyPridaj.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QVariant scalarOn(const QString& path, const QStringList& params, const QString& sql)
{
    fb::Connection c;
    c.open(path, params);
    fb::Transaction t(c, {"read", "read_committed", "rec_version", "nowait"});
    t.start();
    fb::Query q(t);
    q.setSql(sql);
    const QVariant v = q.executeScalar();
    q.close();
    t.commit();
    c.close();
    return v;
}

}  // namespace

TEST(Reconnect, AnEditorAndTheRegisterCarryOnAfterTheServerRestarts)
{
    QString whyNot;
    FirebirdServer* server = FirebirdServer::instance(&whyNot);
    if (!server)
        GTEST_SKIP() << whyNot.toStdString();
    TempSettings settings;
    TestDatabase local(TestDatabase::Migrated);
    local.exec({"insert into adresar (jedin, typ, meno) values (1, 0, 'Alfa')",
                "insert into jazykove_kombinacie (jedin, skratka) values (1, 'EN-SK')",
                "insert into preklady (jedin, znacka, objednavatel, jazykova_kombinacia, termin) "
                "values (1, '2026/0028', 1, 1, current_timestamp)"});
    local.connection().close();
    const QString path = server->copyIn(local.path(), "reconnect.fdb");
    ASSERT_FALSE(path.isEmpty());
    const QStringList params{"USER_NAME=" + server->user(), "PASSWORD=" + server->password(), "lc_ctype=WIN1250"};

    QTemporaryDir dir;
    {
        QSettings ini(dir.filePath("Lindavo.ini"), QSettings::IniFormat);
        ini.setValue("Settings/Database", path);
        ini.setValue("Settings/User_Name", server->user());
        ini.setValue("Settings/Password", server->password());
    }
    startupCalls().login = [](TfrmMain& main) {
        main.Uzivatel() = TUzivatel{1, "Správca", "AD", true};
        return true;
    };
    int unexpected = 0;
    setUnexpectedErrorHandler([&](std::exception_ptr) { ++unexpected; });
    DialogTranscript transcript;
    {
        TfrmMain main(dir.filePath("Lindavo"));
        ASSERT_TRUE(main.IBDatabase().isOpen());
        TfrmEPreklady reg;
        reg.show();
        ASSERT_EQ(reg.gr1->CountRecords(), 1);

        TfrmEPrekladyPridaj editor("AD");
        TFormDetails d;
        InitDetails(d, TFormDetails::Edit, {}, 1);
        bool reopenedOpen = false;
        onNextModal([&](QWidget*) {
            QApplication::setActiveWindow(&editor);
            QString why;
            ASSERT_TRUE(server->restart(&why)) << why.toStdString();
            editor.eDBZnacka->selectAll();
            editor.eDBZnacka->setFocus();
            typeText(editor.eDBZnacka, "2026/0028-A");
            QTest::keyClick(&editor, Qt::Key_F12);  // the link is gone: told, nothing lost
            reopenedOpen = editor.isVisible();
            EXPECT_EQ(editor.eDBZnacka->text(), "2026/0028-A");
            QTest::keyClick(&editor, Qt::Key_F12);  // repeated: reconnects and saves
            if (editor.isVisible())
                editor.reject();
        });
        editor.SetDetails(d);
        EXPECT_TRUE(reopenedOpen);
        EXPECT_EQ(d.result(), TFormDetails::ResultOk);
        ASSERT_EQ(transcript.count(), 1);
        EXPECT_EQ(transcript.last().text, kConnectionLostText);
        EXPECT_EQ(scalarOn(path, params, "select znacka from preklady where jedin=1").toString(), "2026/0028-A");

        // The register's query outlived its attachment: a refresh runs on the new one.
        reg.gr1->DisplayGrid();
        EXPECT_EQ(reg.gr1->fieldValue("ZNACKA").toString(), "2026/0028-A");

        // Another restart, then only closing: nothing to report.
        QString why;
        ASSERT_TRUE(server->restart(&why)) << why.toStdString();
        transcript.clear();
        reg.close();
    }
    EXPECT_EQ(transcript.count(), 0) << (transcript.count() ? transcript.last().text.toStdString() : "");
    EXPECT_EQ(unexpected, 0);
    setUnexpectedErrorHandler({});
    startupCalls().login = nullptr;
}
