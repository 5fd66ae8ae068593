// The password hash and the login dialog, driven with real keys over a
// migrated database that holds the default administrator and a few users.
#include "support/DialogTranscript.h"
#include "support/Modal.h"
#include "support/TempSettings.h"
#include "support/Typing.h"
#include "TestDatabase.h"

#include "app/UnexpectedError.h"
#include "app/fLogin.h"
#include "controls/IBComboBox.h"
#include "controls/IBEdit.h"
#include "controls/QDLBtn.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/MainConnection.h"
#include "framework/PasswordHash.h"
#include "framework/SlotGuard.h"
#include "framework/UserSettings.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QTest>

#include <optional>
#include <stdexcept>

#include <gtest/gtest.h>

namespace {

const QString kWrong = "Nesprávne heslo. Opakujte zadanie.";

class LoginTest : public ::testing::Test {
protected:
    LoginTest()
    {
        setMainConnection(&db.connection());
        addUser(2, "Jana Nováková", "jana", "JN", 1, 0);
        addUser(3, "Marek Zrušený", "marek", "MZ", 0, 0);
        addUser(4, "Peter Bez hesla", "", "PB", 1, 0);
    }
    ~LoginTest() override { setMainConnection(nullptr); }

    void addUser(int id, const QString& meno, const QString& heslo, const QString& skratka, int platny, int spravca)
    {
        fb::Transaction tr(db.connection(), {"write", "nowait"});
        fb::Query q(tr);
        tr.start();
        q.setSql("insert into uzivatelia (jedin, meno, heslo, skratka, platny, spravca)"
                 " values (:J, :M, :H, :S, :P, :A)");
        q.setParam("J", id);
        q.setParam("M", meno);
        q.setParam("H", PasswordHash(id, heslo));
        q.setParam("S", skratka);
        q.setParam("P", platny);
        q.setParam("A", spravca);
        q.execute();
        tr.commit();
    }

    static QString section()
    {
        return "Software\\" + QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + "\\TfrmLogin";
    }

    // Runs the login with `drive` acting on the dialog.
    bool login(TUzivatel& user, std::function<void(TfrmLogin*)> drive)
    {
        bool shown = false;
        onNextModal([&](QWidget* w) {
            auto* dlg = qobject_cast<TfrmLogin*>(w);
            ASSERT_NE(dlg, nullptr);
            shown = true;
            drive(dlg);
        });
        const bool ok = Login(user);
        EXPECT_TRUE(shown);
        return ok;
    }

    static void tryPassword(TfrmLogin* dlg, const QString& password)
    {
        dlg->eHeslo->clear();
        dlg->eHeslo->setFocus();
        typeText(dlg->eHeslo, password);
        QTest::keyClick(dlg->eHeslo, Qt::Key_F12);
    }

    int wrongPasswordMessages() const
    {
        int n = 0;
        for (const DialogRequest& r : transcript.requests())
            n += r.text == kWrong && r.kind == DialogKind::Red && r.type == msg::Error;
        return n;
    }

    TempSettings settings;
    TestDatabase db{TestDatabase::Migrated};
    DialogTranscript transcript;
};

}  // namespace

TEST(PasswordHash, KnownValues)
{
    struct Case {
        qint64 user;
        QString password;
        const char* hash;
    } cases[] = {
        {1, "", "8129F5699E465FC75EEC94A17C21EFBFE7618ED0"},  // SHA-1 of "3131"
        {1, "lindavo", "6FDF5FA0DCACAB9C00AB161AEB15AB9C19CF3905"},
        {2, "lindavo", "172DEB8998D603CEDF2B1DE36780914D4D5FB7A8"},
        {12, "šťava Ž", "68D9FAA5D6FB922A2A8C5107154E1007ED127F09"},  // WIN1250 bytes, not UTF-8
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PasswordHash(c.user, c.password), c.hash) << c.user << " " << c.password.toStdString();
        EXPECT_EQ(TryPasswordHash(c.user, c.password), std::optional<QString>(c.hash));
    }
    // Not representable: no hash at all, never an empty text that could match
    // an empty stored value.
    for (const QString& password : {QString("密码"), QString("mañana"), QString("漢")}) {
        EXPECT_FALSE(TryPasswordHash(1, password).has_value()) << password.toStdString();
        EXPECT_THROW(PasswordHash(1, password), std::invalid_argument);
    }
}

TEST(PasswordHash, TypedPasswordAgainstTheStoredHash)
{
    const QString emptyHash = "8129F5699E465FC75EEC94A17C21EFBFE7618ED0";  // user 1, empty password
    const QString lindavo = "6FDF5FA0DCACAB9C00AB161AEB15AB9C19CF3905";    // user 1, "lindavo"
    struct Case {
        QString typed;
        QVariant stored;
        bool matches;
    } cases[] = {
        {"lindavo", lindavo, true},
        {"Lindavo", lindavo, false},
        {"", emptyHash, true},
        {"x", emptyHash, false},
        // nothing stored: no typed text matches, neither empty nor unencodable
        {"", QVariant(), false},
        {"", QVariant(QMetaType::fromType<QString>()), false},
        {"", QString(""), false},
        {"mañana", QVariant(), false},
        {"mañana", QString(""), false},
        {"漢", QString(""), false},
        {"漢", emptyHash, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PasswordMatches(1, c.typed, c.stored), c.matches)
            << c.typed.toStdString() << " against " << c.stored.toString().toStdString();
}

TEST_F(LoginTest, AdministratorWithTheDefaultPasswordOnAFreshDatabase)
{
    TUzivatel user;
    const bool ok = login(user, [](TfrmLogin* dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Prihlásenie k Lindavo...");
        EXPECT_EQ(dlg->eUzivatel->currentText(), "Správca");  // nothing remembered: lowest number
        EXPECT_EQ(dlg->focusWidget(), dlg->eUzivatel);
        EXPECT_EQ(dlg->btnZapis->text(), " &OK");
        EXPECT_EQ(dlg->btnNezapis->text(), "&Neprihlásiť");
        EXPECT_EQ(dlg->btnDalsi, nullptr);
        tryPassword(dlg, "lindavo");
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(user.Jedin, QVariant(1));
    EXPECT_EQ(user.Meno, "Správca");
    EXPECT_EQ(user.Skratka, "AD");
    EXPECT_TRUE(user.Spravca);
    EXPECT_EQ(readUserInt(section(), "eUzivatel", 0), 1);
    EXPECT_EQ(transcript.count(), 0);
}

TEST_F(LoginTest, WrongPasswordsCountAndTheThirdEndsTheLogin)
{
    TUzivatel user;
    const bool ok = login(user, [&](TfrmLogin* dlg) {
        dlg->eUzivatel->FindIt(2);
        tryPassword(dlg, "zle");
        tryPassword(dlg, "Jana");  // case counts
        EXPECT_EQ(dlg->attempt(), 3);
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(dlg->focusWidget(), dlg->eHeslo);
        tryPassword(dlg, "jana");
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(wrongPasswordMessages(), 2);
    EXPECT_EQ(user.Meno, "Jana Nováková");
    EXPECT_EQ(user.Skratka, "JN");
    EXPECT_FALSE(user.Spravca);

    transcript.clear();
    TUzivatel nobody;
    const bool ended = login(nobody, [&](TfrmLogin* dlg) {
        dlg->eUzivatel->FindIt(2);
        for (const char* p : {"a", "b", "c"})
            tryPassword(dlg, p);
    });
    EXPECT_FALSE(ended);
    EXPECT_EQ(wrongPasswordMessages(), 3);
    EXPECT_FALSE(nobody.Jedin.isValid());
}

TEST_F(LoginTest, InvalidUserIsNeitherOfferedNorAccepted)
{
    TUzivatel user;
    user.Meno = "bez zmeny";
    const bool ok = login(user, [&](TfrmLogin* dlg) {
        dlg->eUzivatel->setFocus();
        dlg->eUzivatel->setEditText("");
        dlg->eUzivatel->DropDown();
        QStringList offered;
        for (int i = 0; i < dlg->eUzivatel->count(); ++i)
            offered << dlg->eUzivatel->itemText(i);
        EXPECT_EQ(offered, (QStringList{"Jana Nováková", "Peter Bez hesla", "Správca"}));

        dlg->eUzivatel->setEditText("Marek Zrušený");
        dlg->eHeslo->setText("marek");
        QTest::keyClick(dlg->eHeslo, Qt::Key_F12);
        EXPECT_TRUE(dlg->isVisible());
        QTest::keyClick(dlg->eHeslo, Qt::Key_Escape);
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(user.Meno, "bez zmeny");
    ASSERT_GE(transcript.count(), 1);
    EXPECT_TRUE(transcript.requests().first().text.contains("Zadaný údaj sa nenachádza v číselníku!"));
}

TEST_F(LoginTest, EmptyPasswordAndEnterDoesNothing)
{
    TUzivatel user;
    const bool ok = login(user, [&](TfrmLogin* dlg) {
        dlg->eUzivatel->FindIt(4);
        dlg->eHeslo->setFocus();
        QTest::keyClick(dlg->eHeslo, Qt::Key_Return);
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(dlg->focusWidget(), dlg->eHeslo);
        dlg->btnZapis->click();
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(user.Skratka, "PB");
}

TEST_F(LoginTest, RememberedUserAndItsFallback)
{
    writeUserInt(section(), "eUzivatel", 2);
    TUzivatel user;
    login(user, [](TfrmLogin* dlg) {
        EXPECT_EQ(dlg->eUzivatel->currentText(), "Jana Nováková");
        QTest::keyClick(dlg->eHeslo, Qt::Key_Escape);
    });
    db.exec({"update uzivatelia set platny=0 where jedin=2"});
    login(user, [](TfrmLogin* dlg) {
        EXPECT_EQ(dlg->eUzivatel->currentText(), "Správca");
        QTest::keyClick(dlg->eHeslo, Qt::Key_Escape);
    });
}

TEST_F(LoginTest, UserDeletedWhileTheDialogIsOpenIsNotLoggedIn)
{
    TUzivatel user;
    const bool ok = login(user, [&](TfrmLogin* dlg) {
        dlg->eUzivatel->FindIt(2);
        db.exec({"delete from uzivatelia where jedin=2"});
        tryPassword(dlg, "jana");
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(dlg->attempt(), 1);
        QTest::keyClick(dlg->eHeslo, Qt::Key_Escape);
    });
    EXPECT_FALSE(ok);
    EXPECT_FALSE(user.Jedin.isValid());
    // The name's own check finds the user gone before the password is read.
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_TRUE(transcript.last().text.contains("Zadaný údaj sa nenachádza v číselníku!"));
}

TEST_F(LoginTest, InvalidUserNeverLogsInEvenPastTheList)
{
    // The list offers valid users only; with its condition gone (or the user
    // made invalid after it was read) the password check itself refuses.
    TUzivatel user;
    const bool ok = login(user, [&](TfrmLogin* dlg) {
        dlg->eUzivatel->setSWhere(QString());
        dlg->eUzivatel->FindIt(3);
        ASSERT_EQ(dlg->eUzivatel->currentText(), "Marek Zrušený");
        tryPassword(dlg, "marek");
        EXPECT_TRUE(dlg->isVisible());
        QTest::keyClick(dlg->eHeslo, Qt::Key_Escape);
    });
    EXPECT_FALSE(ok);
    EXPECT_FALSE(user.Jedin.isValid());
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_TRUE(transcript.last().text.contains("nemá platný prístup do programu")) << transcript.last().text.toStdString();
    EXPECT_EQ(wrongPasswordMessages(), 0);
}

TEST_F(LoginTest, UserWithoutAStoredHashNeverLogsIn)
{
    // Rows written by hand or by an old tool: HESLO missing or empty. Neither
    // an empty password nor one WIN1250 cannot hold ("ñ", "漢") opens them.
    db.exec({"insert into uzivatelia (jedin, meno, heslo, skratka, platny, spravca)"
             " values (5, 'Bez hesla NULL', null, 'BN', 1, 1)",
             "insert into uzivatelia (jedin, meno, heslo, skratka, platny, spravca)"
             " values (6, 'Bez hesla prazdne', '', 'BP', 1, 1)"});
    for (int id : {5, 6}) {
        transcript.clear();
        TUzivatel user;
        const bool ok = login(user, [&](TfrmLogin* dlg) {
            dlg->eUzivatel->FindIt(id);
            tryPassword(dlg, "mañana");
            tryPassword(dlg, "漢");
            EXPECT_TRUE(dlg->isVisible()) << id;
            tryPassword(dlg, "");
        });
        EXPECT_FALSE(ok) << id;
        EXPECT_FALSE(user.Jedin.isValid()) << id;
        EXPECT_EQ(wrongPasswordMessages(), 3) << id;
    }
}

TEST_F(LoginTest, AnUnknownDatabaseErrorIsShownOnceAndTheDialogStaysOpen)
{
    InstallUnexpectedErrorHandler();
    TUzivatel user;
    const bool ok = login(user, [&](TfrmLogin* dlg) {
        dlg->eUzivatel->FindIt(2);
        // the password column is gone: the check's statement fails on the server
        db.exec({"alter table uzivatelia alter column heslo to heslo_inde"});
        tryPassword(dlg, "jana");
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(dlg->attempt(), 1);
        QTest::keyClick(dlg->eHeslo, Qt::Key_Escape);
    });
    setUnexpectedErrorHandler({});
    EXPECT_FALSE(ok);
    // The translation's own message with the server's text, once, and no
    // unexpected-error dialog over it; no password was judged.
    int unexpected = 0;
    for (const DialogRequest& r : transcript.requests())
        unexpected += r.text.startsWith("Neočakávaná chyba databázy");
    EXPECT_EQ(unexpected, 0);
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_TRUE(transcript.last().text.contains("HESLO")) << transcript.last().text.toStdString();
    EXPECT_EQ(wrongPasswordMessages(), 0);
}
