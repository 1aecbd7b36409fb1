#include "WorkstationTest.h"

#include "TDbUtilsClass.h"
#include "TLogin.h"
#include "TProviderConnection.h"
#include "TdmDataBase.h"
#include "TfrATypes.h"

#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QSqlQuery>
#include <QTreeWidget>

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
    TdmDataBase::instance().setConnection(std::make_unique<TProviderConnection>());
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

QTreeWidgetItem* WorkstationTest::node(const QString& caption) const {
    const auto found = window->tvMainTree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

QVariant WorkstationTest::value(const QString& sql) {
    QSqlQuery q(db());
    q.exec(sql);
    return q.next() ? q.value(0) : QVariant();
}

std::function<int(QObject*)> WorkstationTest::pickInChooser(const QString& caption) {
    return [caption](QObject* shown) {
        auto* chooser = qobject_cast<TfrATypes*>(shown);
        EXPECT_NE(chooser, nullptr);
        if (!chooser)
            return int(QDialog::Rejected);
        const auto found = chooser->TreeView1->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
        EXPECT_FALSE(found.isEmpty()) << caption.toStdString();
        if (!found.isEmpty())
            chooser->TreeView1->setCurrentItem(found.first());
        chooser->BitBtn1->click();
        return chooser->result();
    };
}

void WorkstationTest::settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void WorkstationTest::press(TDBNavigator::Button button) {
    ASSERT_NE(window->FNavigator, nullptr) << "no view is open: " << ui.texts().join('\n').toStdString();
    QToolButton* b = window->FNavigator->button(button);
    ASSERT_TRUE(!b->isHidden() && b->isEnabled()) << "navigator button " << int(button);
    b->click();
    settle();
}

void WorkstationTest::select(const QString& caption) {
    QTreeWidgetItem* n = node(caption);
    ASSERT_NE(n, nullptr) << caption.toStdString();
    window->tvMainTree->setCurrentItem(n);
    settle();
}

std::unique_ptr<TDbConnection> WorkstationTest::secondWorkstation(const QString& user,
                                                                  const QString& password) {
    auto connection = std::make_unique<TProviderConnection>();
    connection->setConnectionString(TDbUtilsClass::connectionString());
    connection->setLogin(user, password);
    connection->open();
    return connection;
}
