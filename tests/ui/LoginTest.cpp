#include "EOrtaException.h"
#include "OrtaUtils.h"
#include "SettingsSandbox.h"
#include "TDbUtilsClass.h"
#include "TLogin.h"
#include "TOrtaSettings.h"
#include "TProviderConnection.h"
#include "TScriptedInteraction.h"
#include "TUser.h"
#include "TestDatabase.h"
#include "TextHelpers.h"
#include "TfPasswordDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// QTest::keyClicks aborts on Cyrillic: key events that carry their text.
void type(QWidget* target, const QString& text) {
    target->setFocus();
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &press);
    }
}

// The user at the login dialog: types the name and the password and presses a button.
std::function<int(QObject*)> answer(const QString& user, const QString& password, bool ok = true) {
    return [=](QObject* window) {
        auto* dialog = qobject_cast<TfPasswordDlg*>(window);
        EXPECT_NE(dialog, nullptr);
        if (!dialog)
            return int(QDialog::Rejected);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
        if (!user.isNull()) {
            dialog->edUserName->lineEdit()->clear();
            type(dialog->edUserName->lineEdit(), user);
        }
        dialog->edPassword->clear();
        type(dialog->edPassword, password);
        QTest::mouseClick(ok ? dialog->OkBtn : dialog->CanselBtn, Qt::LeftButton);
        dialog->hide();
        return dialog->result();
    };
}

class Login : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        if (HasFatalFailure())
            return;
        m_previousTemp = qgetenv("TMPDIR");
        qputenv("TMPDIR", m_temp.path().toUtf8());
        m_previousFolder = QDir::currentPath();
        QDir::setCurrent(m_temp.path());
        settings.setUser("server", QString("127.0.0.1,%1").arg(server().port));
        settings.setUser("dbname", databaseName());
        settings.setUser("provider", "PostgreSQL");
        TDbUtilsClass::setInstance(nullptr);
        TdmDataBase::instance().setConnection(std::make_unique<TProviderConnection>());
    }

    void TearDown() override {
        TLogin::Logout();
        TDbUtilsClass::setInstance(nullptr);
        TdmDataBase::instance().setConnection(nullptr);
        QDir::setCurrent(m_previousFolder);
        qputenv("TMPDIR", m_previousTemp);
        DbTest::TearDown();
    }

    bool runLogin(const QStringList& arguments = {}) { return TLogin::RunLogin(dialog, arguments); }

    QTemporaryDir m_temp;
    QByteArray m_previousTemp;
    QString m_previousFolder;
    SettingsSandbox settings;
    TScriptedInteraction ui;
    TfPasswordDlg dialog;
};

} // namespace

TEST_F(Login, WrongPasswordShowsTheErrorAndTheDialogAgain) {
    ui.modalHandlers = {answer("ivanov", "wrong"), answer(QString(), "ivanov")};
    ASSERT_TRUE(runLogin());
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Ошибка подключения для \"ivanov\"")});
    EXPECT_EQ(ui.messages.front().kind, TMessageKind::Error);
    ASSERT_NE(TUser::current(), nullptr);
    EXPECT_EQ(TUser::current()->UserName, "ivanov");
    EXPECT_EQ(TOrtaSettings::value(TOrtaSettings::Scope::User, exeFileName()), "ivanov");
    EXPECT_EQ(TLogin::loadRecentNames(), QStringList{"ivanov"});
    EXPECT_TRUE(ui.modalHandlers.empty());
}

TEST_F(Login, WithoutRunPermissionAnotherUserSignsInFromTheSameDialog) {
    ui.modalHandlers = {answer("norun", "norun"), answer("ivanov", "ivanov")};
    ASSERT_TRUE(runLogin());
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Недостаточно прав для запуска АРМ")});
    EXPECT_EQ(TUser::current()->UserName, "ivanov");
    EXPECT_EQ(TLogin::loadRecentNames(), (QStringList{"ivanov", "norun"}));
}

TEST_F(Login, CommandLineSwitchesSignInWithoutTheDialog) {
    ASSERT_TRUE(runLogin({"-Uivanov", "  -P ivanov  "}));
    EXPECT_EQ(TUser::current()->UserName, "ivanov");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Login, OnlyTheUserSwitchShowsTheDialogWithTheNameFilled) {
    QString shownName;
    ui.modalHandlers = {[&shownName](QObject* window) {
        shownName = qobject_cast<TfPasswordDlg*>(window)->userName();
        return answer(QString(), "ivanov")(window);
    }};
    ASSERT_TRUE(runLogin({"program", "text-Uivanov"}));
    EXPECT_EQ(shownName, "ivanov");
}

TEST_F(Login, FailedSwitchesFallBackToTheFilledDialog) {
    QString shownPassword;
    ui.modalHandlers = {[&shownPassword](QObject* window) {
        shownPassword = qobject_cast<TfPasswordDlg*>(window)->edPassword->text();
        return answer(QString(), "ivanov")(window);
    }};
    ASSERT_TRUE(runLogin({"-Uivanov", "-Pbad"}));
    EXPECT_EQ(shownPassword, "bad");
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Ошибка подключения для \"ivanov\"")});
}

TEST_F(Login, CancelAsksAndCancellingTheQuestionShowsTheDialogAgain) {
    ui.modalHandlers = {answer("ivanov", "", false), answer("ivanov", "", false)};
    ui.answers = {TMsgResult::Cancel, TMsgResult::Ok};
    EXPECT_FALSE(runLogin());
    EXPECT_EQ(ui.texts(), (QStringList{QStringLiteral("Завершить работу с программой?"),
                                       QStringLiteral("Завершить работу с программой?")}));
    EXPECT_EQ(ui.messages.front().buttons, TMsgButtons::OkCancel);
    EXPECT_EQ(TUser::current(), nullptr);
}

TEST_F(Login, OutdatedButUsableVersionInformsAndGoesOn) {
    exec("UPDATE SoftCompatibility SET sftcmp_id = 300");
    ASSERT_TRUE(runLogin({"-Uivanov", "-Pivanov"}));
    EXPECT_EQ(ui.texts(),
              QStringList{QStringLiteral("Данная версия (1.0.0.1) программы устарела, но Вы можете "
                                         "продолжать работу в ней. Обратитесь к разработчикам для получения "
                                         "новой версии.")});
}

TEST_F(Login, RefusedVersionsEndTheProgramWithTheFullText) {
    for (const auto& [answerCode, text] : std::vector<std::pair<int, QString>>{
             {200,
              QStringLiteral(
                  "Ошибка версии программы.\n\r\n\rДанная версия (1.0.0.1) программы устарела. Обратитесь "
                  "к разработчикам для получения новой версии.")},
             {100, QStringLiteral(
                       "Ошибка версии программы.\n\r\n\rДанная версия (1.0.0.1) программы не совместима с "
                       "Базой данных. Обратитесь к разработчикам для получения новой версии.")}}) {
        exec(QString("UPDATE SoftCompatibility SET sftcmp_id = %1").arg(answerCode));
        try {
            runLogin({"-Uivanov", "-Pivanov"});
            FAIL() << "accepted version answer " << answerCode;
        } catch (const EOrtaException& e) {
            EXPECT_EQ(e.message(), text);
            TLogin::FatalError("TfrMain.FormShow", "activateSession", e);
        }
    }
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_TRUE(ui.messages[0].text.startsWith(QStringLiteral(
        "Произошла ошибка! Продолжение работы невозможно! Приложение будет закрыто!\r\n\r\nОшибка версии")));
    QFile log(QDir(m_temp.path()).filePath("errors.txt"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = fromWindows1251(log.readAll());
    const QStringList lines = text.split("\r\n");
    EXPECT_TRUE(lines.at(1).startsWith(
        QStringLiteral("Exception. TfrMain.FormShow activateSession[ Ошибка версии программы.")))
        << lines.at(1).toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("получения новой версии.] \r\n")))
        << text.right(60).toStdString();
}

TEST_F(Login, RecentNamesAreReadMovedToTheTopAndKeptToTen) {
    QStringList names;
    for (int i = 1; i <= 9; ++i)
        names << QStringLiteral("оператор%1").arg(i);
    names.insert(4, "IVANOV");
    TLogin::saveRecentNames(names);
    settings.setUser(exeFileName(), "IVANOV");
    QStringList offered;
    ui.modalHandlers = {[&offered](QObject* window) {
        offered = qobject_cast<TfPasswordDlg*>(window)->recentNames();
        EXPECT_EQ(qobject_cast<TfPasswordDlg*>(window)->userName(), "IVANOV");
        return answer("ivanov", "ivanov")(window);
    }};
    ASSERT_TRUE(runLogin());
    EXPECT_EQ(offered, names);
    const QStringList saved = TLogin::loadRecentNames();
    ASSERT_EQ(saved.size(), 10);
    EXPECT_EQ(saved.first(), "ivanov");
    EXPECT_EQ(saved.filter("ivanov", Qt::CaseInsensitive).size(), 1);
    QFile file(TLogin::recentNamesFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains(toWindows1251(QStringLiteral("оператор9\r\n"))));
}

TEST_F(Login, OtherConnectionErrorsAreFatal) {
    settings.setUser("server", "127.0.0.1,1");
    try {
        runLogin({"-Uivanov", "-Pivanov"});
        FAIL();
    } catch (const EOrtaException& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral(
            "Возникла ошибка при попытке подключения к базе данных. Обратитесь к администратору.\n\r\n\r")))
            << e.message().toStdString();
    }
}

TEST_F(Login, TheRecentNamesFileIsReadWithAnyLineBreak) {
    QFile file(TLogin::recentNamesFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(toWindows1251(QStringLiteral("alpha\nbeta\rгамма\r\ndelta\r\n")));
    file.close();
    EXPECT_EQ(TLogin::loadRecentNames(), (QStringList{"alpha", "beta", QStringLiteral("гамма"), "delta"}));
}

// A login name with a blank and a password with blanks around it sign in through the dialog as
// typed; the password without its blanks is refused.
TEST_F(Login, NamesAndPasswordsWithBlanksSignInAsTyped) {
    exec("DROP ROLE IF EXISTS \"иван петров\"");
    exec("CREATE ROLE \"иван петров\" LOGIN PASSWORD ' с пробелами ' IN ROLE \"ORTA-Метрологи\"");
    exec("INSERT INTO UserInfo (id, UserName, userSurnameNP, userNameNP) OVERRIDING SYSTEM VALUE VALUES (9, "
         "'иван петров', 'Петров', "
         "'Иван')");
    exec("INSERT INTO tUserRoles (InkUser, InkRole) VALUES (9, 2)");
    ui.modalHandlers = {answer(QStringLiteral("иван петров"), QStringLiteral("с пробелами")),
                        answer(QStringLiteral("иван петров"), QStringLiteral(" с пробелами "))};
    const bool signedIn = runLogin();
    exec("DROP OWNED BY \"иван петров\"");
    EXPECT_TRUE(signedIn);
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Ошибка подключения для \"иван петров\"")});
    ASSERT_NE(TUser::current(), nullptr);
    EXPECT_EQ(TUser::current()->UserName, QStringLiteral("иван петров"));
    TLogin::Logout();
    exec("DROP ROLE \"иван петров\"");
}
