#include "TformRoles.h"

#include "OrtaUtils.h"
#include "TDbQuery.h"
#include "TDbUtilsClass.h"
#include "TSecurityQueries.h"
#include "TStatementSink.h"
#include "TUserInteraction.h"
#include "TformRoleProperties.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TformRoles::TformRoles(TformRoleProperties& roleDialog, QWidget* parent)
    : QDialog(parent), m_roleDialog(roleDialog) {
    setObjectName(QStringLiteral("formRoles"));
    setWindowTitle(QStringLiteral("Роли"));
    auto* layout = new QHBoxLayout(this);
    lbRoles = new QListWidget(this);
    lbRoles->setObjectName(QStringLiteral("lbRoles"));
    layout->addWidget(lbRoles, 1);
    auto* column = new QVBoxLayout;
    auto makeButton = [this, column](const char* name, const char* caption) {
        auto* button = new QPushButton(QString::fromUtf8(caption), this);
        button->setObjectName(QString::fromUtf8(name));
        column->addWidget(button);
        return button;
    };
    butAdd = makeButton("butAdd", "Создать");
    butEdit = makeButton("butEdit", "Изменить");
    butDelete = makeButton("butDelete", "Удалить");
    column->addStretch();
    btnOk = makeButton("btnOk", "Закрыть");
    btnOk->setDefault(true);
    layout->addLayout(column);
    connect(butAdd, &QPushButton::clicked, this, &TformRoles::butAddClick);
    connect(butEdit, &QPushButton::clicked, this, &TformRoles::butEditClick);
    connect(butDelete, &QPushButton::clicked, this, &TformRoles::butDeleteClick);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(lbRoles, &QListWidget::itemDoubleClicked, this, &TformRoles::butEditClick);
    resize(420, 360);
}

int TformRoles::Execute() {
    RefreshRoles();
    return TUserInteraction::instance().showModal(this);
}

void TformRoles::RefreshRoles() {
    lbRoles->clear();
    try {
        TDbUtilsClass* db = TDbUtilsClass::getInstance();
        std::unique_ptr<TDbQuery> roles = db->openQuery(db->databaseRolesQuery());
        for (; !roles->eof(); roles->next()) {
            const QString name = roles->value(0).toString();
            if (!name.startsWith(TSecurityQueries::RolePrefix, Qt::CaseInsensitive))
                continue;
            auto* entry = new QListWidgetItem(TSecurityQueries::shortName(name), lbRoles);
            entry->setData(Qt::UserRole, roles->value(1));
        }
    } catch (const std::exception& e) {
        TUserInteraction::instance().messageBox(QString::fromUtf8(e.what()), TMessageKind::Error,
                                                TMsgButtons::Ok);
    }
}

QString TformRoles::selectedRole() const {
    const QListWidgetItem* entry = lbRoles->currentItem();
    return entry && entry->isSelected() ? entry->text() : QString();
}

void TformRoles::butAddClick() {
    m_roleDialog.Execute(QString());
    RefreshRoles();
}

void TformRoles::butEditClick() {
    const QString role = selectedRole();
    if (!role.isEmpty())
        m_roleDialog.Execute(role);
}

void TformRoles::butDeleteClick() {
    const QString role = selectedRole();
    if (role.isEmpty())
        return;
    TUserInteraction& ui = TUserInteraction::instance();
    const QString roleName = TSecurityQueries::databaseName(role);
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    int systemRuns = 0;
    try {
        const QVariant id = db->scalarQuery(QStringLiteral("select id from tRoles where fname=") +
                                            TDbUtilsClass::stringLiteral(roleName));
        if (id.isValid() && id.toInt() == 1) {
            ui.messageBox(QStringLiteral("Данная роль не может быть удалена."), TMessageKind::Error,
                          TMsgButtons::Ok);
            return;
        }
        systemRuns =
            db->scalarQuery(
                  QStringLiteral("select Count(*) from com_soft where soft_id= 15 and soft_run_role=") +
                  QString::number(id.isValid() ? id.toInt() : 0))
                .toInt();
    } catch (const std::exception& e) {
        ui.messageBox(QStringLiteral("Ошибка проверки роли на неудаляемую.\n\n") +
                          QString::fromUtf8(e.what()),
                      TMessageKind::Error, TMsgButtons::Ok);
        return;
    }
    if (ui.titledMessageBox(QStringLiteral("Вы уверены что хотите удалить роль \"") + role +
                                QStringLiteral("\" ?"),
                            TMessageKind::Question, TMsgButtons::YesNo, QStringLiteral("Удаление роли"),
                            0) != TMsgResult::Yes)
        return;
    if (systemRuns == 1 &&
        ui.titledMessageBox(
            QStringLiteral(
                "Данная роль является системной и ее удаление может повлиять на работу некоторых программ "
                "входящих в состав программного комплекса. Вы уверены, что хотите удалить эту роль?"),
            TMessageKind::Warning, TMsgButtons::OkCancel, applicationTitle(),
            TMsgResult::Cancel) != TMsgResult::Ok)
        return;
    try {
        TStatementSink server;
        server.call(QStringLiteral("sp_droprole"), {{"rolename", roleName}});
        server.write(QStringLiteral("delete from tRoles where fname=") +
                     TDbUtilsClass::stringLiteral(roleName));
        RefreshRoles();
    } catch (const std::exception& e) {
        if (TSecurityQueries::errorHas(e, {QStringLiteral("role has members")})) {
            ui.messageBox(
                QStringLiteral("Выбранная роль не может быть удалена потому что содержит пользователей.\r\n"
                               "Воспользуйтесь редактированием роли для удаления пользователей из роли"),
                TMessageKind::Error, TMsgButtons::Ok);
        } else if (TSecurityQueries::isNoPermission(e)) {
            ui.messageBox(QStringLiteral("У Вас не достаточно прав для выполнения этого действия"),
                          TMessageKind::Error, TMsgButtons::Ok);
        } else {
            RefreshRoles();
            ui.messageBox(QString::fromUtf8(e.what()), TMessageKind::Error, TMsgButtons::Ok);
        }
    }
}
