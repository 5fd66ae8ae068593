// Users: the password rules of the editor, what a non-administrator may
// change, the row styles of the list and the rule that some valid
// administrator always remains.
#include "TestDatabase.h"
#include "app/fLogin.h"
#include "codelists/fCUzivatelia.h"
#include "codelists/fCUzivateliaPridaj.h"
#include "controls/DataControl.h"
#include "controls/DbGridQDL.h"
#include "controls/IBCheckBox.h"
#include "controls/IBComboBox.h"
#include "controls/IBEdit.h"
#include "controls/QDLBtn.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/MainConnection.h"
#include "framework/PasswordHash.h"
#include "framework/Session.h"
#include "framework/SlotGuard.h"
#include "support/DialogTranscript.h"
#include "support/Modal.h"
#include "support/QtPrinters.h"
#include "support/TempSettings.h"
#include "support/Typing.h"

#include <QAction>
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString kMismatch = "Overenie hesla sa nezhoduje s prihlasovacím heslom. Zadajte heslá ešte raz!";

class UsersTest : public ::testing::Test {
protected:
    UsersTest()
    {
        setMainConnection(&db.connection());
        setUnexpectedErrorHandler([this](std::exception_ptr) { ++unexpected; });
        // User 1 is the administrator every new database has.
        db.exec({QString("insert into uzivatelia (jedin, meno, heslo, skratka, spravca, platny) "
                         "values (2, 'Jana Nováková', '%1', 'JN', 0, 1)")
                     .arg(PasswordHash(2, "jana"))});
    }
    ~UsersTest() override
    {
        setUnexpectedErrorHandler({});
        setMainConnection(nullptr);
    }

    QVariantMap row(int jedin)
    {
        fb::Transaction tr(db.connection(), {"read", "read_committed", "rec_version", "nowait"});
        fb::Query q(tr);
        tr.start();
        q.setSql("select meno, heslo, skratka, spravca, platny from uzivatelia where jedin=:J");
        q.setParam("J", jedin);
        QVariantMap out;
        if (q.executeAtMostOneRow())
            for (int i = 0; i < q.columnCount(); ++i)
                out[q.column(i).name] = q.value(i);
        tr.commit();
        return out;
    }

    // Runs the editor with `drive` acting on it; the call record's result.
    TFormDetails edit(std::uint8_t mode, const QVariant& current, bool administrator,
                      const std::function<void(TfrmCUzivateliaPridaj*)>& drive)
    {
        TFormDetails d;
        InitDetails(d, mode, {}, current);
        bool shown = false;
        onNextModal([&](QWidget* modal) {
            auto* e = qobject_cast<TfrmCUzivateliaPridaj*>(modal);
            ASSERT_NE(e, nullptr);
            shown = true;
            drive(e);
            if (e->isVisible())
                e->done(TFormDetails::ResultCancel);
        });
        RunCUzivateliaPridaj(d, administrator);
        EXPECT_TRUE(shown);
        return d;
    }

    static void type(QWidget* w, const QString& text)
    {
        w->setFocus();
        typeText(w, text);
    }

    TempSettings settings;
    TestDatabase db{TestDatabase::Migrated};
    DialogTranscript transcript{msg::Yes};
    int unexpected = 0;
};

}  // namespace

TEST_F(UsersTest, AddedUsersGetTheirOwnHashAndAnUpperCaseAbbreviation)
{
    // Two users with the same password, and one added without a password.
    const struct {
        const char* meno;
        const char* skratka;
        bool changePassword;
        const char* heslo;
    } users[] = {{"Peter Prvý", "pp", true, "tajné"},
                 {"Pavol Druhý", "Pd", true, "tajné"},
                 {"Bez Hesla", "bh", false, ""}};
    QList<int> ids;
    for (const auto& u : users) {
        const TFormDetails d = edit(TFormDetails::Insert, {}, true, [&](TfrmCUzivateliaPridaj* e) {
            EXPECT_EQ(e->windowTitle(), "Pridanie používateľa");
            EXPECT_TRUE(e->ePlatny->isChecked());
            EXPECT_FALSE(e->eSpravca->isChecked());
            EXPECT_TRUE(e->eHeslo->ReadOnly()) << "until Zmeniť heslo is ticked";
            type(e->eMeno, u.meno);
            if (u.changePassword) {
                e->eZmenaHesla->setChecked(true);
                EXPECT_FALSE(e->eHeslo->ReadOnly());
                type(e->eHeslo, u.heslo);
                type(e->eHeslo2, u.heslo);
            }
            type(e->eSkratka, u.skratka);
            EXPECT_EQ(e->eSkratka->text(), QString(u.skratka).toUpper()) << "shown as stored";
            QTest::keyClick(e->eSkratka, Qt::Key_F12);
        });
        ASSERT_EQ(d.result(), TFormDetails::ResultOk) << u.meno;
        ids << d.Current.toInt();
    }
    for (int i = 0; i < 3; ++i) {
        const QVariantMap r = row(ids[i]);
        EXPECT_EQ(r["MENO"].toString(), users[i].meno);
        EXPECT_EQ(r["SKRATKA"].toString(), QString(users[i].skratka).toUpper());
        EXPECT_EQ(r["HESLO"].toString(), PasswordHash(ids[i], users[i].heslo)) << users[i].meno;
        EXPECT_EQ(r["SPRAVCA"].toInt(), 0);
        EXPECT_EQ(r["PLATNY"].toInt(), 1);
    }
    EXPECT_NE(row(ids[0])["HESLO"], row(ids[1])["HESLO"]) << "the same password, different users";
    EXPECT_EQ(unexpected, 0);
}

TEST_F(UsersTest, AnAddedUserLogsInWithHisPassword)
{
    const TFormDetails d = edit(TFormDetails::Insert, {}, true, [&](TfrmCUzivateliaPridaj* e) {
        type(e->eMeno, "Ľubica Nová");
        e->eZmenaHesla->setChecked(true);
        type(e->eHeslo, "Šifra7");
        type(e->eHeslo2, "Šifra7");
        type(e->eSkratka, "ln");
        QTest::keyClick(e->eSkratka, Qt::Key_F12);
    });
    ASSERT_EQ(d.result(), TFormDetails::ResultOk);
    for (const char* password : {"šifra7", "Šifra7"}) {
        onNextModal([&](QWidget* modal) {
            auto* dlg = qobject_cast<TfrmLogin*>(modal);
            ASSERT_NE(dlg, nullptr);
            dlg->eUzivatel->FindIt(d.Current);
            ASSERT_EQ(dlg->eUzivatel->currentText(), "Ľubica Nová");
            type(dlg->eHeslo, password);
            QTest::keyClick(dlg->eHeslo, Qt::Key_F12);
            if (dlg->isVisible())
                QTest::keyClick(dlg->eHeslo, Qt::Key_Escape);
        });
        TUzivatel user;
        const bool ok = Login(user);
        EXPECT_EQ(ok, QString(password) == "Šifra7") << password;
        if (ok) {
            EXPECT_EQ(user.Jedin, d.Current);
            EXPECT_EQ(user.Skratka, "LN");
            EXPECT_FALSE(user.Spravca);
        }
    }
}

TEST_F(UsersTest, PasswordRulesWhenEditing)
{
    const QString jana = PasswordHash(2, "jana");
    struct Case {
        const char* name;
        bool tick;
        const char* heslo;
        const char* heslo2;
        bool saved;
        QString expectedHash;
    };
    const Case cases[] = {
        {"not ticked: the hash stays", false, "", "", true, jana},
        {"ticked, both empty: the empty password", true, "", "", true, PasswordHash(2, "")},
        {"ticked, the same twice", true, "nové", "nové", true, PasswordHash(2, "nové")},
        {"ticked, confirmation differs", true, "nové", "nove", false, jana},
        {"confirmation differs by case", true, "Nové", "nové", false, jana},
        {"typed, then unticked: still compared", false, "x", "y", false, jana},
        {"a character the stored form cannot hold", true, "mañana", "mañana", false, jana},
    };
    for (const Case& c : cases) {
        db.exec({QString("update uzivatelia set heslo='%1' where jedin=2").arg(jana)});
        transcript.clear();
        bool stayedOpen = false;
        const TFormDetails d = edit(TFormDetails::Edit, 2, true, [&](TfrmCUzivateliaPridaj* e) {
            EXPECT_EQ(e->windowTitle(), "Oprava používateľa");
            e->eZmenaHesla->setChecked(true);
            type(e->eHeslo, c.heslo);
            type(e->eHeslo2, c.heslo2);
            e->eZmenaHesla->setChecked(c.tick);
            EXPECT_EQ(e->eHeslo->text(), c.heslo) << "kept while read-only";
            QTest::keyClick(e->eMeno, Qt::Key_F12);
            stayedOpen = e->isVisible();
            if (stayedOpen)
                EXPECT_EQ(e->focusWidget(), e->eHeslo) << c.name;
        });
        EXPECT_EQ(d.result() == TFormDetails::ResultOk, c.saved) << c.name;
        EXPECT_EQ(stayedOpen, !c.saved) << c.name;
        EXPECT_EQ(row(2)["HESLO"].toString(), c.expectedHash) << c.name;
        if (!c.saved) {
            ASSERT_EQ(transcript.count(), 1) << c.name;
            EXPECT_EQ(transcript.last().type, msg::Error) << c.name;
        }
    }
    EXPECT_EQ(transcript.last().text.contains("Heslo obsahuje znak"), true);
    EXPECT_EQ(unexpected, 0);
}

TEST_F(UsersTest, ANonAdministratorChangesOnlyHisPassword)
{
    const QVariantMap before = row(2);
    const TFormDetails d = edit(TFormDetails::Edit, 2, false, [&](TfrmCUzivateliaPridaj* e) {
        EXPECT_EQ(e->windowTitle(), "Oprava používateľa");
        EXPECT_EQ(e->eMeno->text(), "Jana Nováková");
        EXPECT_TRUE(e->eMeno->ReadOnly());
        EXPECT_TRUE(e->eSkratka->ReadOnly());
        EXPECT_FALSE(e->eSpravca->isEnabled());
        EXPECT_FALSE(e->ePlatny->isEnabled());
        e->eZmenaHesla->setChecked(true);
        EXPECT_TRUE(e->eMeno->ReadOnly()) << "ticking re-applies the rights";
        type(e->eHeslo, "heslo2");
        type(e->eHeslo2, "heslo2");
        QTest::keyClick(e->eHeslo2, Qt::Key_F12);
    });
    EXPECT_EQ(d.result(), TFormDetails::ResultOk);
    QVariantMap after = row(2);
    EXPECT_EQ(after["HESLO"].toString(), PasswordHash(2, "heslo2"));
    after["HESLO"] = before["HESLO"];
    EXPECT_EQ(after, before);
}

// The user changes his password while an administrator, at another
// workstation, changes his rights: the password is saved, the rights stay as
// the administrator set them, and the user is told.
TEST_F(UsersTest, HisOwnPasswordEditKeepsTheRightsAnAdministratorChangedMeanwhile)
{
    setSessionUser(2);
    auto other = db.openSecond();
    const TFormDetails d = edit(TFormDetails::Edit, 2, false, [&](TfrmCUzivateliaPridaj* e) {
        fb::Transaction t(*other, {"write", "nowait"});
        t.start();
        fb::Query q(t);
        q.setSql("update uzivatelia set spravca=1 where jedin=2");
        q.execute();
        t.commit();
        e->eZmenaHesla->setChecked(true);
        type(e->eHeslo, "heslo2");
        type(e->eHeslo2, "heslo2");
        QTest::keyClick(e->eHeslo2, Qt::Key_F12);
    });
    setSessionUser({});
    EXPECT_EQ(d.result(), TFormDetails::ResultOk);
    ASSERT_GE(transcript.count(), 1);
    EXPECT_TRUE(transcript.last().text.contains(QStringLiteral("Správca: 0 → 1")))
        << transcript.last().text.toStdString();
    const QVariantMap after = row(2);
    EXPECT_EQ(after["HESLO"].toString(), PasswordHash(2, "heslo2"));
    EXPECT_EQ(after["SPRAVCA"].toInt(), 1);
}

// An administrator takes away a user's access while he is logged in: his next
// save is refused in Slovak, nothing is written and the login is offered.
TEST_F(UsersTest, AUserWhoseAccessWasTakenAwayCannotSaveAnyMore)
{
    setSessionUser(2);
    int loginOffered = 0;
    sessionLoginAgain() = [&] { ++loginOffered; };
    auto other = db.openSecond();
    const QVariantMap before = row(2);
    const TFormDetails d = edit(TFormDetails::Edit, 2, false, [&](TfrmCUzivateliaPridaj* e) {
        fb::Transaction t(*other, {"write", "nowait"});
        t.start();
        fb::Query q(t);
        q.setSql("update uzivatelia set platny=0 where jedin=2");
        q.execute();
        t.commit();
        e->eZmenaHesla->setChecked(true);
        type(e->eHeslo, "heslo2");
        type(e->eHeslo2, "heslo2");
        QTest::keyClick(e->eHeslo2, Qt::Key_F12);
        EXPECT_TRUE(e->isVisible()) << "nothing saved: the editor stays";
    });
    sessionLoginAgain() = nullptr;
    setSessionUser({});
    EXPECT_EQ(d.result(), TFormDetails::ResultCancel);
    ASSERT_GE(transcript.count(), 1);
    EXPECT_TRUE(transcript.last().text.startsWith(QStringLiteral("Váš prístup do programu medzitým zrušil správca.")))
        << transcript.last().text.toStdString();
    EXPECT_EQ(loginOffered, 1);
    EXPECT_EQ(row(2)["HESLO"], before["HESLO"]);
    EXPECT_EQ(unexpected, 0);
}

TEST_F(UsersTest, AnAdministratorBoldAnInvalidUserStruckOut)
{
    db.exec(
        {"insert into uzivatelia (jedin, meno, heslo, skratka, spravca, platny) values (3, 'Z', '', 'ZZ', 1, "
         "0)",
         "insert into uzivatelia (jedin, meno, heslo, skratka, spravca, platny) values (4, 'Y', '', 'YY', 0, "
         "0)"});
    TfrmCUzivatelia w;
    w.Prepare();
    w.gr1->DisplayGrid();
    struct Case {
        int jedin;
        bool bold, struck;
    };
    for (const Case& c :
         {Case{1, true, false}, Case{2, false, false}, Case{3, true, true}, Case{4, false, true}}) {
        ASSERT_TRUE(w.gr1->Locate("JEDIN", c.jedin));
        TGridCellState state = w.gr1->CellState(w.gr1->currentRow());
        for (int col = 0; col < w.gr1->ColumnCount(); ++col) {
            TGridCellColors colors = w.gr1->CellColors(state.row, col);
            w.gr1->OnDrawColumnCell(nullptr, QRect(), col, w.gr1->Columns()[size_t(col)], state, colors);
            EXPECT_EQ(colors.bold, c.bold) << c.jedin;
            EXPECT_EQ(colors.strikeOut, c.struck) << c.jedin;
        }
    }
}

TEST_F(UsersTest, TheLastValidAdministratorStays)
{
    const auto refused = [&] {
        return transcript.count() > 0 && transcript.last().text.startsWith("Hlásenie #2005");
    };
    // Taking the rights or the access away from the only one.
    for (TIBCheckBox* TfrmCUzivateliaPridaj::*box :
         {&TfrmCUzivateliaPridaj::eSpravca, &TfrmCUzivateliaPridaj::ePlatny}) {
        transcript.clear();
        const TFormDetails d = edit(TFormDetails::Edit, 1, true, [&](TfrmCUzivateliaPridaj* e) {
            (e->*box)->setChecked(false);
            QTest::keyClick(e->eMeno, Qt::Key_F12);
            EXPECT_TRUE(e->isVisible());
        });
        EXPECT_NE(d.result(), TFormDetails::ResultOk);
        EXPECT_TRUE(refused());
        EXPECT_EQ(row(1)["SPRAVCA"].toInt(), 1);
        EXPECT_EQ(row(1)["PLATNY"].toInt(), 1);
    }
    // Deleting him, alone or among marked users.
    {
        TfrmCUzivatelia w;
        w.Prepare();
        w.gr1->DisplayGrid();
        transcript.clear();
        ASSERT_TRUE(w.gr1->Locate("JEDIN", 1));
        EXPECT_FALSE(w.DeleteAction());
        EXPECT_TRUE(refused());
        for (int key : {1, 2}) {
            w.gr1->Locate("JEDIN", key);
            w.gr1->CheckCurrent();
        }
        transcript.clear();
        w.btnVymaz->trigger();
        EXPECT_TRUE(refused());
        EXPECT_EQ(db.scalar("select count(*) from uzivatelia").toInt(), 2);
        EXPECT_EQ(w.gr1->CheckedCount(), 2) << "the marks stay after a refused delete";
    }
    EXPECT_EQ(unexpected, 0);

    // With a second valid administrator either may go.
    db.exec({"update uzivatelia set spravca=1 where jedin=2"});
    transcript.clear();
    const TFormDetails d = edit(TFormDetails::Edit, 1, true, [&](TfrmCUzivateliaPridaj* e) {
        e->eSpravca->setChecked(false);
        QTest::keyClick(e->eMeno, Qt::Key_F12);
    });
    EXPECT_EQ(d.result(), TFormDetails::ResultOk);
    EXPECT_FALSE(refused());
    TfrmCUzivatelia w;
    w.Prepare();
    w.gr1->DisplayGrid();
    ASSERT_TRUE(w.gr1->Locate("JEDIN", 1));
    EXPECT_TRUE(w.DeleteAction());
    EXPECT_EQ(db.scalar("select count(*) from uzivatelia").toInt(), 1);
    // ... and now the other one is the last.
    ASSERT_TRUE(w.gr1->Locate("JEDIN", 2));
    transcript.clear();
    EXPECT_FALSE(w.DeleteAction());
    EXPECT_TRUE(refused());
}

TEST_F(UsersTest, TwoWorkstationsCannotEachRemoveOneOfTheLastTwo)
{
    db.exec({"update uzivatelia set spravca=1 where jedin=2"});
    auto second = db.openSecond();
    fb::Transaction a(db.connection(), {"write", "read_committed", "rec_version", "nowait"});
    fb::Transaction b(*second, {"write", "read_committed", "rec_version", "nowait"});
    a.start();
    b.start();
    const auto demote = [](fb::Transaction& tr, int jedin) {
        KeepValidAdministrator(tr, [&] {
            fb::Query q(tr);
            q.setSql("update uzivatelia set spravca=0 where jedin=:J");
            q.setParam("J", jedin);
            q.execute();
        });
    };
    demote(a, 1);
    EXPECT_THROW(
        {
            try {
                demote(b, 2);
            } catch (const fb::Error& e) {
                EXPECT_EQ(e.kind(), fb::ErrorKind::LockConflict) << e.message().toStdString();
                throw;
            }
        },
        fb::Error);
    b.rollback();
    a.commit();
    EXPECT_EQ(db.scalar("select count(*) from uzivatelia where spravca=1 and platny=1").toInt(), 1);
}
