#include "WorkstationTest.h"

#include "TDbUtilsClass.h"
#include "TLogin.h"
#include "TQtSqlConnection.h"
#include "TdmDataBase.h"

#include <QDir>

void WorkstationTest::SetUp() {
    DbTest::SetUp();
    if (HasFatalFailure())
        return;
    QDir::setCurrent(m_folder.path());
    settings.setUser("server", QString("127.0.0.1,%1").arg(server().port));
    settings.setUser("dbname", databaseName());
    settings.setUser("provider", "PostgreSQL");
    settings.setUser("path", installation() + "/");
    TDbUtilsClass::setInstance(nullptr);
    TdmDataBase::instance().setConnection(std::make_unique<TQtSqlConnection>());
}

void WorkstationTest::TearDown() {
    window.reset();
    TLogin::Logout();
    TDbUtilsClass::setInstance(nullptr);
    TdmDataBase::instance().setConnection(nullptr);
    DbTest::TearDown();
}

QString WorkstationTest::installation() const {
    return QStringLiteral(VANTOREL_INSTALLATION_DIR);
}

TfrMain& WorkstationTest::start(const QString& user, const QString& password) {
    window = std::make_unique<TfrMain>(dialog, QStringList{"-U" + user, "-P" + password});
    window->FormShow();
    return *window;
}
