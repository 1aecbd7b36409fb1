#include "TformRoleProperties.h"

#include "EOrtaException.h"
#include "TDbUtilsClass.h"
#include "TStatementSink.h"
#include "TUser.h"
#include "TUserInteraction.h"
#include "TformAddRoleMembers.h"
#include "TformPermissions.h"
#include "TfrMain.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString NoRights = QStringLiteral("У Вас не достаточно прав для выполнения этого действия");
const QString UserNoPermission = QStringLiteral("User does not have permission to perform this action");

QString quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString literal(const QString& text) {
    return TDbUtilsClass::stringLiteral(text);
}

} // namespace

TformRoleProperties::TformRoleProperties(TformPermissions& permissions, TfrMain& mainWindow, QWidget* parent)
    : QDialog(parent), m_permissions(permissions), m_mainWindow(mainWindow) {
    setObjectName(QStringLiteral("formRoleProperties"));
    setWindowTitle(QStringLiteral("Управление ролью"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Название роли"), this), 0, 0, 1, 2);
    ediRoleName = new QLineEdit(this);
    ediRoleName->setObjectName(QStringLiteral("ediRoleName"));
    ediRoleName->setMaxLength(123);
    layout->addWidget(ediRoleName, 1, 0, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Пользователи"), this), 2, 0, 1, 2);
    lbRoleMembers = new QListWidget(this);
    lbRoleMembers->setObjectName(QStringLiteral("lbRoleMembers"));
    lbRoleMembers->setSortingEnabled(true);
    layout->addWidget(lbRoleMembers, 3, 0, 5, 1);
    auto makeButton = [this](const char* name, const char* caption) {
        auto* button = new QPushButton(QString::fromUtf8(caption), this);
        button->setObjectName(QString::fromUtf8(name));
        return button;
    };
    butAddUser = makeButton("butAddUser", "Добавить...");
    butRemoveUser = makeButton("butRemoveUser", "Удалить");
    butRolePermissions = makeButton("butRolePermissions", "Разрешения...");
    butScript = makeButton("butScript", "SQL...");
    butScript->setToolTip(QStringLiteral("Запросы, которые будут выполнены при нажатии «Применить»"));
    btnOk = makeButton("btnOk", "Применить");
    btnCansel = makeButton("btnCansel", "Отменить");
    btnOk->setDefault(true);
    layout->addWidget(butAddUser, 3, 1);
    layout->addWidget(butRemoveUser, 4, 1);
    layout->addWidget(butRolePermissions, 5, 1);
    layout->addWidget(butScript, 6, 1);
    layout->setRowStretch(7, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCansel);
    layout->addLayout(buttons, 8, 0, 1, 2);
    formAddRoleMembers = new TformAddRoleMembers(this);

    connect(butAddUser, &QPushButton::clicked, this, &TformRoleProperties::butAddUserClick);
    connect(butRemoveUser, &QPushButton::clicked, this, &TformRoleProperties::butRemoveUserClick);
    connect(butRolePermissions, &QPushButton::clicked, this, &TformRoleProperties::butRolePermissionsClick);
    connect(butScript, &QPushButton::clicked, this, &TformRoleProperties::butScriptClick);
    connect(btnOk, &QPushButton::clicked, this, &TformRoleProperties::btnOkClick);
    connect(btnCansel, &QPushButton::clicked, this, &QDialog::reject);
    connect(lbRoleMembers, &QListWidget::itemDoubleClicked, this, &TformRoleProperties::butRemoveUserClick);
    setFixedSize(420, 380);
}

TformRoleProperties::~TformRoleProperties() = default;

void TformRoleProperties::sortMembers(QList<Member>& members) {
    std::stable_sort(members.begin(), members.end(), [](const Member& a, const Member& b) {
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    });
}

void TformRoleProperties::addListEntry(const Member& member) {
    auto* entry = new QListWidgetItem(member.name);
    entry->setData(Qt::UserRole, member.isUser ? 1 : 0);
    lbRoleMembers->addItem(entry);
}

QList<TformRoleProperties::Member> TformRoleProperties::currentMembers() const {
    QList<Member> members;
    for (int i = 0; i < lbRoleMembers->count(); ++i) {
        const QListWidgetItem* entry = lbRoleMembers->item(i);
        members.append({entry->text(), entry->data(Qt::UserRole).toInt() == 1});
    }
    return members;
}

qint32 TformRoleProperties::roleIdOf(const QString& roleName) {
    return TDbUtilsClass::getInstance()
        ->scalarQuery(QStringLiteral("select id from tRoles where fName=") + literal(roleName))
        .toInt();
}

qint32 TformRoleProperties::userIdOf(const QString& userName) {
    return TDbUtilsClass::getInstance()
        ->scalarQuery(QStringLiteral("select id from UserInfo where UserSurnameNP=") + literal(userName))
        .toInt();
}

int TformRoleProperties::Execute(const QString& shortName) {
    lbRoleMembers->clear();
    m_membersAtOpen.clear();
    m_candidates.clear();
    FPermissions.clear();
    FPermissionsConfirmed = false;
    FRoleId = 0;
    ediRoleName->setText(shortName);
    const bool existing = !shortName.isEmpty();
    ediRoleName->setEnabled(!existing);
    butRolePermissions->setEnabled(existing);
    try {
        TBusyCursor busy;
        if (existing) {
            for (const Member& member :
                 TSecurityQueries::roleMembers(TSecurityQueries::databaseName(shortName))) {
                const Member shown{member.isUser ? member.name : TSecurityQueries::shortName(member.name),
                                   member.isUser};
                m_membersAtOpen.append(shown);
                addListEntry(shown);
            }
            sortMembers(m_membersAtOpen);
        }
        std::unique_ptr<TDbQuery> users = TDbUtilsClass::getInstance()->openQuery(QStringLiteral(
            "select name, issqlrole from sysusers where issqlrole=0 and name not in ('dbo','guest')"));
        for (; !users->eof(); users->next()) {
            const QString name = users->value(0).toString();
            const bool member = std::any_of(m_membersAtOpen.cbegin(), m_membersAtOpen.cend(),
                                            [&name](const Member& m) { return m.name == name; });
            if (!existing || (name != shortName && !member))
                m_candidates.append({name, true});
        }
        sortMembers(m_candidates);
        if (existing) {
            FRoleId = TDbUtilsClass::getInstance()
                          ->scalarQuery(QStringLiteral("select id from tRoles where fname=") +
                                        literal(TSecurityQueries::databaseName(shortName)))
                          .toInt();
            if (FRoleId == 1)
                butRolePermissions->setEnabled(false);
            else if (FRoleId > 0 && TUser::current())
                TUser::current()->RBAC()->LoadRolesPermissions({FRoleId}, &FPermissions);
        }
    } catch (const std::exception& e) {
        TUserInteraction::instance().messageBox(QString::fromUtf8(e.what()), TMessageKind::Error,
                                                TMsgButtons::Ok);
    }
    return TUserInteraction::instance().showModal(this);
}

void TformRoleProperties::butAddUserClick() {
    formAddRoleMembers->lbUsers->clear();
    for (const Member& candidate : m_candidates)
        formAddRoleMembers->lbUsers->addItem(candidate.name);
    if (TUserInteraction::instance().showModal(formAddRoleMembers) != QDialog::Accepted)
        return;
    const int row = formAddRoleMembers->lbUsers->currentRow();
    if (row < 0 || row >= m_candidates.size() || !formAddRoleMembers->lbUsers->currentItem()->isSelected())
        return;
    addListEntry(m_candidates.takeAt(row));
}

void TformRoleProperties::butRemoveUserClick() {
    QListWidgetItem* entry = lbRoleMembers->currentItem();
    if (!entry || !entry->isSelected())
        return;
    m_candidates.append({entry->text(), entry->data(Qt::UserRole).toInt() == 1});
    sortMembers(m_candidates);
    delete lbRoleMembers->takeItem(lbRoleMembers->row(entry));
}

void TformRoleProperties::butRolePermissionsClick() {
    FPermissionsConfirmed = false;
    if (m_permissions.EditRolePermissions(ediRoleName->text(), &FPermissions) == QDialog::Accepted)
        FPermissionsConfirmed = true;
}

void TformRoleProperties::btnOkClick() {
    try {
        TStatementSink server;
        save(server);
    } catch (const std::exception& e) {
        TUserInteraction::instance().messageBox(QString::fromUtf8(e.what()), TMessageKind::Error,
                                                TMsgButtons::Ok);
    }
    accept();
}

QStringList TformRoleProperties::plannedStatements() {
    TStatementSink plan(true);
    try {
        save(plan);
    } catch (const std::exception& e) {
        QStringList statements = plan.recorded();
        statements << QStringLiteral("-- ") + QString::fromUtf8(e.what());
        return statements;
    }
    return plan.recorded();
}

void TformRoleProperties::butScriptClick() {
    QDialog view(this);
    view.setObjectName(QStringLiteral("formRoleScript"));
    view.setWindowTitle(QStringLiteral("Запросы роли"));
    auto* layout = new QVBoxLayout(&view);
    auto* text = new QPlainTextEdit(&view);
    text->setObjectName(QStringLiteral("memScript"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    const QStringList statements = plannedStatements();
    text->setPlainText(statements.isEmpty() ? QStringLiteral("-- Изменений нет")
                                            : statements.join(QStringLiteral("\n")));
    layout->addWidget(text);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, &view);
    connect(close, &QDialogButtonBox::rejected, &view, &QDialog::reject);
    layout->addWidget(close);
    view.resize(640, 400);
    TUserInteraction::instance().showModal(&view);
}

void TformRoleProperties::save(TStatementSink& sink) {
    const QString roleName = TSecurityQueries::databaseName(ediRoleName->text());
    if (ediRoleName->isEnabled()) {
        createRole(sink, roleName);
        return;
    }
    QList<Member> members = currentMembers();
    sortMembers(members);
    const auto sameName = [](const Member& a, const Member& b) {
        return a.name == b.name;
    };
    if (!std::equal(members.cbegin(), members.cend(), m_membersAtOpen.cbegin(), m_membersAtOpen.cend(),
                    sameName))
        saveMembers(sink, roleName);
    savePermissions(sink);
}

void TformRoleProperties::createRole(TStatementSink& sink, const QString& roleName) {
    qint32 roleId = 0;
    try {
        sink.call(QStringLiteral("sp_addrole"), {{"rolename", roleName}});
        sink.write(QStringLiteral("insert into tRoles(fname) values(") + literal(roleName) +
                   QLatin1Char(')'));
        roleId = roleIdOf(roleName);
    } catch (const std::exception& e) {
        if (TSecurityQueries::isNoPermission(e))
            throw EOrtaException(NoRights);
        throw EOrtaException(QStringLiteral("При создании новой роли ") +
                             quoted(ediRoleName->text().trimmed()) +
                             QStringLiteral(" произошла ошибка\r\n\r\n") + QString::fromUtf8(e.what()));
    }
    for (int i = 0; i < lbRoleMembers->count(); ++i) {
        const QListWidgetItem* entry = lbRoleMembers->item(i);
        changeMembership(sink, roleName, roleId, {entry->text(), entry->data(Qt::UserRole).toInt() == 1},
                         true);
    }
    try {
        sink.call(QStringLiteral("sp_addrolemember"),
                  {{"rolename", QStringLiteral("ORTADenyObjects")}, {"membername", roleName}});
    } catch (const std::exception& e) {
        if (TSecurityQueries::errorHas(e, {UserNoPermission}))
            throw EOrtaException(NoRights);
        throw EOrtaException(
            QStringLiteral("При добавлении новой пользовательской роли ") + quoted(ediRoleName->text()) +
            QStringLiteral(" в системную роль произошла ошибка\r\n\r\n") + QString::fromUtf8(e.what()));
    }
}

void TformRoleProperties::changeMembership(TStatementSink& sink, const QString& roleName, qint32 roleId,
                                           const Member& member, bool add) {
    try {
        const QString memberName = member.isUser ? member.name : TSecurityQueries::databaseName(member.name);
        const qint32 userId = member.isUser ? userIdOf(member.name) : 0;
        sink.call(add ? QStringLiteral("sp_addrolemember") : QStringLiteral("sp_droprolemember"),
                  {{"rolename", roleName}, {"membername", memberName}});
        if (member.isUser && add)
            sink.write(QStringLiteral("insert into tUserRoles(InkRole,InkUser) values (") +
                       QString::number(roleId) + QLatin1Char(',') + QString::number(userId) +
                       QLatin1Char(')'));
        else if (member.isUser)
            sink.write(QStringLiteral("delete from tUserRoles where InkRole=") + QString::number(roleId) +
                       QStringLiteral(" and InkUser=") + QString::number(userId));
    } catch (const std::exception& e) {
        // Adding recognises SQL Server's refusal only; removing also the server's own.
        if (add ? TSecurityQueries::errorHas(e, {UserNoPermission}) : TSecurityQueries::isNoPermission(e))
            throw EOrtaException(NoRights);
        throw EOrtaException((add ? QStringLiteral("При добавлении ") : QStringLiteral("При удалении ")) +
                             quoted(member.name) + QStringLiteral(" произошла ошибка\r\n\r\n") +
                             QString::fromUtf8(e.what()));
    }
}

void TformRoleProperties::saveMembers(TStatementSink& sink, const QString& roleName) {
    qint32 roleId = roleIdOf(roleName);
    if (roleId == 0) {
        sink.write(QStringLiteral("insert into tRoles(fname) values(") + literal(roleName) +
                   QLatin1Char(')'));
        roleId = roleIdOf(roleName);
        if (roleId == 0 && !sink.recording())
            throw EOrtaException(QStringLiteral("Невозможно получить идентификатор роли ") +
                                 quoted(roleName));
    }
    QList<Member> added = currentMembers();
    QList<Member> removed;
    for (const Member& before : m_membersAtOpen) {
        const auto kept = std::find_if(added.begin(), added.end(),
                                       [&before](const Member& m) { return m.name == before.name; });
        if (kept == added.end())
            removed.append(before);
        else
            added.erase(kept);
    }
    for (const Member& member : added)
        changeMembership(sink, roleName, roleId, member, true);
    for (const Member& member : removed)
        changeMembership(sink, roleName, roleId, member, false);
}

void TformRoleProperties::savePermissions(TStatementSink& sink) {
    TBusyCursor busy;
    if (FPermissionsConfirmed) {
        if (!m_permissions.SaveStaticPermissions(sink))
            throw EOrtaException(
                QStringLiteral("Изменения статических разрешений для роли не были сохранены"));
        try {
            TUser* user = TUser::current();
            if (FRoleId <= 0 || !user)
                throw EOrtaException(QStringLiteral("no role"));
            for (const QString& sql : user->RBAC()->SaveStatements(FRoleId, FPermissions))
                sink.write(sql);
        } catch (const std::exception&) {
            throw EOrtaException(QStringLiteral("Ошибка записи динамических разрешений для роли!"));
        }
        if (!m_permissions.SaveBookGrants(sink))
            throw EOrtaException(QStringLiteral(
                "Изменения разрешений редактирования справочников для роли не были сохранены"));
    }
    if (sink.recording())
        return;
    // Membership and grants may have changed the signed-in user's own rights.
    if (TUser* user = TUser::current())
        user->ReloadPermissions();
    m_mainWindow.ReloadPermittedBranches();
}
