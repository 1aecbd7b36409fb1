#include "TformUserRoles.h"

#include "OrtaUtils.h"
#include "TButtonRow.h"
#include "TDbQuery.h"
#include "TDbUtilsClass.h"
#include "TSecurityQueries.h"
#include "TStatementSink.h"
#include "TUserInteraction.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TformUserRoles::TformUserRoles(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("formUserRoles"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Роли пользователя "), this));
    rxUserRoles = new QListWidget(this);
    rxUserRoles->setObjectName(QStringLiteral("rxUserRoles"));
    rxUserRoles->setSortingEnabled(true);
    layout->addWidget(rxUserRoles, 1);
    chkOnly = new QCheckBox(QStringLiteral("Показать только вхождения"), this);
    chkOnly->setObjectName(QStringLiteral("chkOnly"));
    layout->addWidget(chkOnly);
    const TButtonRow buttons(layout, this, "btnOk", QStringLiteral("Применить"), "btnCancel",
                             QStringLiteral("Отменить"));
    btnOk = buttons.confirm;
    btnCancel = buttons.cancel;
    resize(340, 380);
    connect(chkOnly, &QCheckBox::clicked, this, &TformUserRoles::chkOnlyClick);
    connect(btnOk, &QPushButton::clicked, this, &TformUserRoles::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TformUserRoles::fillRoles() {
    rxUserRoles->clear();
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    std::unique_ptr<TDbQuery> rows = db->openQuery(QStringLiteral("select id, fname from tRoles"));
    QList<QPair<QString, int>> known;
    for (; !rows->eof(); rows->next())
        known.append({rows->value(1).toString(), rows->value(0).toInt()});
    std::unique_ptr<TDbQuery> roles = TSecurityQueries::open(QStringLiteral("sp_helprole"), {});
    for (; !roles->eof(); roles->next()) {
        const QString name = roles->value(QStringLiteral("RoleName")).toString();
        if (!name.startsWith(TSecurityQueries::RolePrefix, Qt::CaseInsensitive))
            continue;
        const auto found = std::find_if(known.cbegin(), known.cend(), [&name](const QPair<QString, int>& r) {
            return r.first.compare(name, Qt::CaseInsensitive) == 0;
        });
        const QString shortName = TSecurityQueries::shortName(name);
        if (found == known.cend()) {
            errorBox(QStringLiteral("В таблице ролей не найдена роль БД \"") + shortName + QLatin1Char('"'));
            continue;
        }
        auto* entry = new QListWidgetItem(shortName, rxUserRoles);
        entry->setFlags(entry->flags() | Qt::ItemIsUserCheckable);
        entry->setCheckState(Qt::Unchecked);
        entry->setData(Qt::UserRole, found->second);
    }
}

QStringList TformUserRoles::tickedNames() const {
    QStringList names;
    for (int i = 0; i < rxUserRoles->count(); ++i) {
        if (rxUserRoles->item(i)->checkState() == Qt::Checked)
            names << rxUserRoles->item(i)->text();
    }
    return names;
}

void TformUserRoles::tick(const QStringList& names) {
    for (int i = 0; i < rxUserRoles->count(); ++i)
        rxUserRoles->item(i)->setCheckState(names.contains(rxUserRoles->item(i)->text()) ? Qt::Checked
                                                                                         : Qt::Unchecked);
}

int TformUserRoles::Execute(int userId) {
    chkOnly->setChecked(false);
    m_userId = userId;
    try {
        fillRoles();
        TDbUtilsClass* db = TDbUtilsClass::getInstance();
        std::unique_ptr<TDbQuery> user =
            db->openQuery(QStringLiteral("select * from UserInfo where id=") + QString::number(userId));
        m_userName = user->eof() ? QString() : user->value(QStringLiteral("UserSurnameNP")).toString();
        setWindowTitle(QStringLiteral("Роли пользователя ") + m_userName);
        std::unique_ptr<TDbQuery> groups =
            TSecurityQueries::open(QStringLiteral("sp_helpuser"), {{"name_in_db", m_userName}});
        const QString column = groups->fieldIndex(QStringLiteral("GroupName")) >= 0
                                   ? QStringLiteral("GroupName")
                                   : QStringLiteral("RoleName");
        QStringList member;
        for (; !groups->eof(); groups->next()) {
            const QString role = groups->value(column).toString();
            if (role.startsWith(TSecurityQueries::RolePrefix, Qt::CaseInsensitive))
                member << TSecurityQueries::shortName(role);
        }
        tick(member);
    } catch (const std::exception& e) {
        errorBox(QString::fromUtf8(e.what()));
    }
    return TUserInteraction::instance().showModal(this);
}

void TformUserRoles::chkOnlyClick() {
    const QStringList ticked = tickedNames();
    if (chkOnly->isChecked()) {
        for (int i = rxUserRoles->count() - 1; i >= 0; --i) {
            if (rxUserRoles->item(i)->checkState() != Qt::Checked)
                delete rxUserRoles->takeItem(i);
        }
        return;
    }
    try {
        fillRoles();
    } catch (const std::exception& e) {
        errorBox(QString::fromUtf8(e.what()));
    }
    tick(ticked);
}

void TformUserRoles::btnOkClick() {
    chkOnly->setChecked(false);
    chkOnlyClick();
    const QString user = QString::number(m_userId);
    auto insertTicked = [&](TStatementSink& sink) {
        for (int i = 0; i < rxUserRoles->count(); ++i) {
            if (rxUserRoles->item(i)->checkState() == Qt::Checked)
                sink.write(QStringLiteral("insert into tUserRoles(InkRole,InkUser) values (") +
                           rxUserRoles->item(i)->data(Qt::UserRole).toString() + QLatin1Char(',') + user +
                           QLatin1Char(')'));
        }
    };
    TStatementSink server;
    // The rows are all written again at the end: the first pass only proves that they can be. A
    // failure here stops before any membership changes, and the user is kept as he is (never
    // removed: an existing user would be destroyed by it).
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    try {
        db->runSQL(QStringLiteral("delete from tUserRoles where InkUser=") + user);
        insertTicked(server);
    } catch (const std::exception& e) {
        errorBox(QStringLiteral("Ошибка при добавлении пользователя в таблицу ролей пользователя\r\n\r\n") +
                 QString::fromUtf8(e.what()));
        accept();
        return;
    }
    try {
        for (int i = 0; i < rxUserRoles->count(); ++i) {
            const bool member = rxUserRoles->item(i)->checkState() == Qt::Checked;
            server.call(member ? QStringLiteral("sp_addrolemember") : QStringLiteral("sp_droprolemember"),
                        {{"rolename", TSecurityQueries::databaseName(rxUserRoles->item(i)->text())},
                         {"membername", m_userName}});
        }
        db->runSQL(QStringLiteral("delete from tUserRoles where InkUser=") + user);
        insertTicked(server);
    } catch (const std::exception& e) {
        errorBox(QStringLiteral("Ошибка при добавлении пользователя в роли\r\n\r\n") +
                 QString::fromUtf8(e.what()));
    }
    accept();
}
