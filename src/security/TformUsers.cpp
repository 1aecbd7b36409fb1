#include "TformUsers.h"

#include "OrtaUtils.h"
#include "TDbQuery.h"
#include "TDbUtilsClass.h"
#include "TSecurityQueries.h"
#include "TStatementSink.h"
#include "TUserInteraction.h"
#include "TformEffectiveRights.h"
#include "TformUserInfo.h"
#include "TformUserRoles.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHash>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

void errorTitled(const QString& text) {
    TUserInteraction::instance().titledMessageBox(text, TMessageKind::Error, TMsgButtons::Ok,
                                                  QStringLiteral("Ошибка"), 0);
}

} // namespace

TformUsers::TformUsers(TformUserInfo& userDialog, TformUserRoles& rolesDialog, QWidget* parent)
    : QDialog(parent), m_userDialog(userDialog), m_rolesDialog(rolesDialog) {
    setObjectName(QStringLiteral("formUsers"));
    setWindowTitle(QStringLiteral("Пользователи"));
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    tvListUser = new QTreeWidget(this);
    tvListUser->setObjectName(QStringLiteral("tvListUser"));
    tvListUser->setHeaderHidden(true);
    left->addWidget(tvListUser, 1);
    chkDeleted = new QCheckBox(QStringLiteral("Показать удаленных пользователей"), this);
    chkDeleted->setObjectName(QStringLiteral("chkDeleted"));
    left->addWidget(chkDeleted);
    layout->addLayout(left, 1);
    auto* column = new QVBoxLayout;
    auto button = [this, column](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromUtf8(name));
        column->addWidget(b);
        return b;
    };
    butAddUser = button("butAddUser", "Создать");
    butEditUser = button("butEditUser", "Изменить");
    butDelete = button("butDelete", "Удалить");
    btnPrint = button("btnPrint", "Печать");
    butChPassword = button("butChPassword", "Вхождение в роли");
    butRights = button("butRights", "Действующие права...");
    butRights->setToolTip(QStringLiteral("Все права пользователя и роли, которые их дают"));
    m_rights = new TformEffectiveRights(this);
    column->addStretch();
    btnOk = button("btnOk", "Закрыть");
    btnOk->setDefault(true);
    layout->addLayout(column);
    resize(520, 420);
    connect(tvListUser, &QTreeWidget::currentItemChanged, this, &TformUsers::currentChanged);
    connect(tvListUser, &QTreeWidget::itemDoubleClicked, this, &TformUsers::butEditUserClick);
    connect(chkDeleted, &QCheckBox::toggled, this, [this] { ReadList(currentId()); });
    connect(butAddUser, &QPushButton::clicked, this, &TformUsers::butAddUserClick);
    connect(butEditUser, &QPushButton::clicked, this, &TformUsers::butEditUserClick);
    connect(butDelete, &QPushButton::clicked, this, &TformUsers::butDeleteClick);
    connect(btnPrint, &QPushButton::clicked, this, &TformUsers::btnPrintClick);
    connect(butChPassword, &QPushButton::clicked, this, &TformUsers::butChPasswordClick);
    connect(butRights, &QPushButton::clicked, this, &TformUsers::butRightsClick);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
}

int TformUsers::Execute() {
    ReadList(-1);
    return TUserInteraction::instance().showModal(this);
}

void TformUsers::ReadList(int currentId) {
    const QSignalBlocker quiet(tvListUser);
    tvListUser->clear();
    try {
        QStringList statement{QStringLiteral("exec adm_get_user_list ")};
        if (chkDeleted->isChecked())
            statement << QStringLiteral(" 1 ");
        std::unique_ptr<TDbQuery> list = TSecurityQueries::openExec(statement);
        QHash<int, QTreeWidgetItem*> nodes;
        std::vector<std::pair<QTreeWidgetItem*, QVariant>> parents;
        for (; !list->eof(); list->next()) {
            auto* node = new QTreeWidgetItem({list->value(QStringLiteral("Usern")).toString()});
            const int id = list->value(QStringLiteral("id")).toInt();
            node->setData(0, IdRole, id);
            node->setData(0, PicRole, list->value(QStringLiteral("pic")).toInt());
            node->setData(0, LoginRole, list->value(QStringLiteral("UserName")));
            node->setData(0, FullNameRole, list->value(QStringLiteral("UserSurnameNP")));
            nodes.insert(id, node);
            parents.emplace_back(node, list->value(QStringLiteral("p")));
        }
        for (const auto& [node, parent] : parents) {
            QTreeWidgetItem* above =
                parent.isValid() && !parent.isNull() ? nodes.value(parent.toInt()) : nullptr;
            if (above)
                above->addChild(node);
            else
                tvListUser->addTopLevelItem(node);
            const int pic = node->data(0, PicRole).toInt();
            node->setIcon(0, style()->standardIcon(pic == 2   ? QStyle::SP_TrashIcon
                                                   : pic == 1 ? QStyle::SP_FileIcon
                                                              : QStyle::SP_DirIcon));
        }
        tvListUser->expandAll();
        tvListUser->setCurrentItem(nodes.value(currentId, tvListUser->topLevelItem(0)));
    } catch (const std::exception& e) {
        errorBox(QString::fromUtf8(e.what()));
    }
    currentChanged();
}

QTreeWidgetItem* TformUsers::current() const {
    return tvListUser->currentItem();
}

int TformUsers::currentId() const {
    return current() ? current()->data(0, IdRole).toInt() : -1;
}

void TformUsers::currentChanged() {
    const bool deleted = current() && current()->data(0, PicRole).toInt() == 2;
    butChPassword->setEnabled(!deleted);
    butDelete->setEnabled(!deleted);
    btnPrint->setEnabled(!deleted);
    butRights->setEnabled(!deleted && currentId() > 0);
}

void TformUsers::openRolesAfterSave() {
    if (!m_userDialog.chbShowRoles->isChecked())
        return;
    const int id = TDbUtilsClass::getInstance()
                       ->scalarQuery(QStringLiteral("select id from UserInfo where UserName=") +
                                     TDbUtilsClass::stringLiteral(m_userDialog.edLogin->text()))
                       .toInt();
    m_rolesDialog.Execute(id);
}

void TformUsers::butAddUserClick() {
    m_userDialog.Execute(-1, 0, QString(), QString());
    if (m_userDialog.Saved)
        openRolesAfterSave();
    if (m_userDialog.UserId > 0)
        ReadList(m_userDialog.UserId);
}

void TformUsers::butEditUserClick() {
    QTreeWidgetItem* node = current();
    if (!node || currentId() < 0)
        return;
    const int pic = node->data(0, PicRole).toInt();
    if (pic == 2 &&
        TUserInteraction::instance().titledMessageBox(
            QStringLiteral("Этот пользователь отмечен как удаленный. Восстановить этого пользователя?"),
            TMessageKind::Question, TMsgButtons::OkCancel, QStringLiteral("Внимание!"), 0) != TMsgResult::Ok)
        return;
    m_userDialog.Execute(currentId(), pic, node->data(0, LoginRole).toString(),
                         node->data(0, FullNameRole).toString());
    if (!m_userDialog.Saved)
        return;
    openRolesAfterSave();
    ReadList(m_userDialog.UserId);
}

void TformUsers::butDeleteClick() {
    const int id = currentId();
    if (id < 0 ||
        TUserInteraction::instance().titledMessageBox(
            QStringLiteral("Вы действительно хотите удалить этого пользователя?"), TMessageKind::Question,
            TMsgButtons::OkCancel, QStringLiteral("Внимание!"), 0) != TMsgResult::Ok)
        return;
    try {
        TStatementSink server;
        server.call(QStringLiteral("adm_UserInfoDelete"), {{"", id}});
    } catch (const std::exception& e) {
        errorTitled(TSecurityQueries::errorHas(
                        e, {QStringLiteral("User does not have permission to perform this action")})
                        ? QStringLiteral("У Вас не достаточно прав для выполнения этого действия")
                        : QStringLiteral("Произошла ошибка\r\n\r\n") + QString::fromUtf8(e.what()));
    }
    ReadList(id);
}

void TformUsers::btnPrintClick() {
    if (currentId() < 0) {
        errorTitled(QStringLiteral("Выберите пользователя"));
        return;
    }
    if (printReports)
        printReports(current()->data(0, FullNameRole).toString());
}

void TformUsers::butChPasswordClick() {
    const int id = currentId();
    if (id < 0)
        return;
    m_rolesDialog.Execute(id);
    ReadList(id);
}

void TformUsers::butRightsClick() {
    if (currentId() > 0)
        m_rights->Execute(currentId(), current()->data(0, FullNameRole).toString());
}
