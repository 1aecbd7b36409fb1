#include "TformEffectiveRights.h"

#include "OrtaUtils.h"
#include "TDbQuery.h"
#include "TDbUtilsClass.h"
#include "TPermissionCollection.h"
#include "TRBAC.h"
#include "TSecurityQueries.h"
#include "TUser.h"
#include "TUserInteraction.h"

#include <QDialogButtonBox>
#include <QHash>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString actionText(const QString& action) {
    if (action.compare(QStringLiteral("Select"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("чтение, выполнение");
    if (action.compare(QStringLiteral("Update"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("изменение");
    if (action.compare(QStringLiteral("Insert"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("добавление");
    if (action.compare(QStringLiteral("Delete"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("удаление");
    return action;
}

} // namespace

TformEffectiveRights::TformEffectiveRights(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("formEffectiveRights"));
    auto* layout = new QVBoxLayout(this);
    tvRights = new QTreeWidget(this);
    tvRights->setObjectName(QStringLiteral("tvRights"));
    tvRights->setHeaderLabels({QStringLiteral("Право"), QStringLiteral("Действие"), QStringLiteral("Роль")});
    tvRights->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(tvRights);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(close);
    resize(640, 480);
}

int TformEffectiveRights::Execute(int userId, const QString& fullName) {
    setWindowTitle(QStringLiteral("Действующие права пользователя ") + fullName);
    tvRights->clear();
    auto* functions = new QTreeWidgetItem(tvRights, {QStringLiteral("Функции программы")});
    auto* books = new QTreeWidgetItem(tvRights, {QStringLiteral("Редактирование справочников")});
    auto* records = new QTreeWidgetItem(tvRights, {QStringLiteral("Разрешения на записи справочников")});
    try {
        TBusyCursor busy;
        TDbUtilsClass* db = TDbUtilsClass::getInstance();
        std::unique_ptr<TDbQuery> roles =
            db->openQuery(QStringLiteral("select r.id, r.fname from tRoles r inner join tUserRoles u on "
                                         "u.InkRole=r.id where u.InkUser=") +
                          QString::number(userId) + QStringLiteral(" order by 2"));
        for (; !roles->eof(); roles->next()) {
            const QString role = roles->value(1).toString();
            addGrants(role, functions, books);
            addRowPermissions(roles->value(0).toInt(), TSecurityQueries::shortName(role), records);
        }
    } catch (const std::exception& e) {
        errorBox(QString::fromUtf8(e.what()));
    }
    tvRights->expandAll();
    return TUserInteraction::instance().showModal(this);
}

void TformEffectiveRights::addGrants(const QString& role, QTreeWidgetItem* functions,
                                     QTreeWidgetItem* books) {
    const std::unique_ptr<TDbQuery> grants = TSecurityQueries::grants(QString(), role);
    const QString shortName = TSecurityQueries::shortName(role);
    for (; grants && !grants->eof(); grants->next()) {
        if (!grants->value(QStringLiteral("ProtectType"))
                 .toString()
                 .trimmed()
                 .startsWith(QStringLiteral("Grant")))
            continue;
        const QString object = grants->value(QStringLiteral("Object")).toString();
        const QString action = actionText(grants->value(QStringLiteral("Action")).toString());
        const QString column = grants->value(QStringLiteral("Column")).toString();
        if (object.compare(QStringLiteral("StaticPermissions"), Qt::CaseInsensitive) == 0) {
            const QString function =
                column.startsWith(QLatin1Char('(')) ? QStringLiteral("все функции") : column;
            new QTreeWidgetItem(functions, {function, action, shortName});
        } else if (!action.startsWith(QStringLiteral("чтение"))) {
            new QTreeWidgetItem(books, {object, action, shortName});
        }
    }
}

void TformEffectiveRights::addRowPermissions(int roleId, const QString& role, QTreeWidgetItem* records) {
    TUser* user = TUser::current();
    if (!user)
        return;
    TRBAC* rbac = user->RBAC();
    TPermissionCollection permissions;
    if (!rbac->LoadRolesPermissions({roleId}, &permissions))
        return;
    QHash<qint32, QHash<qint32, QString>> captions;
    for (int i = 0; i < permissions.count(); ++i) {
        const TPermissionItem& item = permissions.items(i);
        if (item.isRoleGrant() || item.Actions == 0)
            continue;
        const QString table = rbac->GetTableName(item.TableId);
        if (!captions.contains(item.TableId)) {
            QHash<qint32, QString>& names = captions[item.TableId];
            try {
                std::unique_ptr<TDbQuery> rows = TDbUtilsClass::getInstance()->openQuery(
                    QStringLiteral("select id, fName from ") + table.mid(5));
                for (; !rows->eof(); rows->next())
                    names.insert(rows->value(0).toInt(), rows->value(1).toString());
            } catch (const std::exception&) {
                // Records are then shown by their ids.
            }
        }
        const QString record = captions.value(item.TableId).value(item.RowId, QString::number(item.RowId));
        QStringList actions;
        if (TActions::has(item.Actions, 'r'))
            actions << QStringLiteral("просмотр");
        if (TActions::has(item.Actions, 'w'))
            actions << QStringLiteral("изменение");
        new QTreeWidgetItem(records, {table.mid(5) + QStringLiteral(": ") + record,
                                      actions.join(QStringLiteral(", ")), role});
    }
}
