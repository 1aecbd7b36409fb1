#include "TUser.h"

#include "EConvertError.h"
#include "EOrtaException.h"
#include "OrtaUtils.h"
#include "TDbUtilsClass.h"
#include "TMemoryData.h"
#include "TextHelpers.h"

namespace {

std::unique_ptr<TUser>& currentSlot() {
    static std::unique_ptr<TUser> user;
    return user;
}

TDbUtilsClass& db() {
    return *TDbUtilsClass::getInstance();
}

bool toBoolean(const QVariant& v) {
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    const QString text = v.toString().trimmed();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    qint32 number = 0;
    if (tryStrToInt(text, number))
        return number != 0;
    throw EConvertError(QStringLiteral("'%1' is not a valid boolean value").arg(text));
}

qint32 toInteger(const QVariant& v) {
    if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
        return qint32(v.toLongLong());
    return strToInt(v.toString().trimmed());
}

// The permission failures reach the login or the saving code as the program's own errors.
[[noreturn]] void raise(const QString& text) {
    throw EOrtaException(text);
}

} // namespace

TUser* TUser::current() {
    return currentSlot().get();
}

void TUser::setCurrent(std::unique_ptr<TUser> user) {
    currentSlot() = std::move(user);
}

const QStringList& TUser::documentTables() {
    static const QStringList tables{"Passport",         "PassportTP",
                                    "Passport_F1",      "Passport_F2",
                                    "Passport_F4",      "Passport_F5",
                                    "Passport_F8",      "PassportTP_F1",
                                    "PassportTP_F2",    "PassportTP_F3",
                                    "PassportTP_F5",    "Parameters_F1",
                                    "Parameters_F3",    "Parameters2_F3",
                                    "ParametersTP_F1",  "ParametersTP_F3",
                                    "ParametersTP2_F3", "Parameters_F5",
                                    "PassRprData",      "MSUL_CSM_CALIBRATION_HIST",
                                    "RprHistory",       "Doc",
                                    "DocLinks",         "Assay_passports"};
    return tables;
}

TUser::TUser(const QString& userName) : Params(std::make_unique<TMemoryData>()) {
    LoadIdentity(userName);
    LoadColumnPermissions();
    try {
        m_rbac = std::make_unique<TRBAC>();
    } catch (const std::exception&) {
        m_rbac.reset();
    }
    if (m_rbac)
        m_rbac->FindUserId(UserName, UserId);
    EmployeeId = db().scalarQuery(
        QStringLiteral(
            "SELECT EMPLOYEE_ID FROM v_MSUL_EMPLOYEES where (DELETION_ID is NULL) AND USER_INFO_ID=") +
        QString::number(UserId));
    CanRunVerifications = HasStaticPermission(QStringLiteral("Поверки"), QStringLiteral("run"));
    if (EmployeeId.isValid())
        MarkCipher = db().scalarQuery(
            QStringLiteral(
                "SELECT MARK_CIPHER FROM v_MSUL_EMPLOYEES where (DELETION_ID is NULL) AND EMPLOYEE_ID=") +
            EmployeeId.toString());
    LoadParams();
    if (m_rbac)
        ReloadPermissions();
}

TUser::~TUser() = default;

void TUser::LoadIdentity(const QString& userName) {
    UserName = userName;
    try {
        const auto query =
            db().openQuery(QStringLiteral("SELECT userSurnameNP FROM UserInfo WHERE UserName=") +
                           TDbUtilsClass::stringLiteral(UserName));
        UserSurname = query->eof() ? QString() : query->value(QStringLiteral("userSurnameNP")).toString();
    } catch (const std::exception&) {
        UserSurname.clear();
    }
    // Sent again by every reconnect, so that the server always knows who works.
    const QString context = db().contextInfoQuery(UserSurname);
    TdmDataBase::instance().adoOrtaDatabase().setSessionQuery(context);
    db().openQuery(context);
}

void TUser::LoadColumnPermissions() {
    ColumnPermissions.clear();
    const auto query = db().openQuery(db().columnPermissionsQuery(documentTables()));
    for (; !query->eof(); query->next())
        ColumnPermissions[query->value(0).toString().toLower()] = query->value(1).toInt();
}

void TUser::LoadParams() {
    try {
        db().loadQuery(
            *Params,
            QStringLiteral(
                "SELECT upt.id, upt.pname, upt.ptype, coalesce(up.value, upt.defvalue) as value\tFROM "
                "UserPrmsType upt  LEFT JOIN (SELECT * FROM UserPrms WHERE idUser=") +
                QString::number(UserId) + QStringLiteral(") up ON up.idPrmsType=upt.id"));
    } catch (const std::exception& e) {
        errorBox(QStringLiteral("Ошибка при загрузке настроек пользователя\n\n%1").arg(errorMessage(e)));
        return;
    }
    const auto boolean = [this](const char* name, bool& property) {
        const QVariant v = GetParam(QString::fromLatin1(name));
        if (v.isValid())
            property = toBoolean(v);
    };
    const auto integer = [this](const char* name, auto& property) {
        const QVariant v = GetParam(QString::fromLatin1(name));
        if (v.isValid())
            property = decltype(property + 0)(toInteger(v));
    };
    boolean("FullsubDivs", FullsubDivs);
    boolean("EditColorUsed", EditColorUsed);
    integer("EditColor", EditColor);
    integer("InactiveColor", InactiveColor);
    integer("DifferenceColor", DifferenceColor);
    integer("GridColor", GridColor);
    boolean("ShowReportGen", ShowReportGen);
    boolean("ReportGenSource", ReportGenSource);
    integer("ShowWarnings", ShowWarnings);
    boolean("RegexSearch", RegexSearch);
    integer("EditTmplMode", EditTmplMode);
    boolean("RemState", RemState);
    boolean("GroupChecked", GroupChecked);
    boolean("DocLinkForTmpl", DocLinkForTmpl);
    boolean("AssayLinkForTmpl", AssayLinkForTmpl);
    boolean("CreatePrmsForTmpl", CreatePrmsForTmpl);
    boolean("FirstParamForTmpl", FirstParamForTmpl);
    boolean("DelLinkForTmpl", DelLinkForTmpl);
}

QVariant TUser::GetParam(const QString& name) const {
    if (!Params || !Params->active())
        return {};
    const TField* pname = Params->findField(QStringLiteral("pname"));
    const TField* ptype = Params->findField(QStringLiteral("ptype"));
    const TField* value = Params->findField(QStringLiteral("value"));
    if (!pname || !ptype || !value)
        return {};
    for (int r = 1; r <= Params->recordCount(); ++r) {
        if (Params->valueAt(r, pname).toString() != name)
            continue;
        const QVariant v = Params->valueAt(r, value);
        if (!v.isValid())
            return {};
        const QString type = Params->valueAt(r, ptype).toString();
        if (type.compare(QLatin1String("boolean"), Qt::CaseInsensitive) == 0)
            return toBoolean(v);
        if (type.compare(QLatin1String("integer"), Qt::CaseInsensitive) == 0)
            return toInteger(v);
        return v;
    }
    return {};
}

bool TUser::CanRunWorkstation() {
    return HasStaticPermission(QStringLiteral("АРМ Администратора"), QStringLiteral("run"));
}

bool TUser::checkPermission(const QString& sql, const QString& objectName, const QString& action,
                            const std::map<QString, int>& bits, const QString& failureText) {
    QVariant value;
    try {
        value = db().scalarQuery(sql);
    } catch (const std::exception& e) {
        errorBoxWith(failureText.arg(objectName), e);
        return false;
    }
    if (!value.isValid()) {
        errorBox(QStringLiteral("Разрешение для объекта \"") + objectName + QStringLiteral("\" не найдено"));
        return false;
    }
    if (IsAdmin)
        return true;
    const auto bit = bits.find(action);
    if (bit == bits.end()) {
        errorBox(QStringLiteral("Действие \"") + action + QStringLiteral("\" для объекта \"") + objectName +
                 QStringLiteral("\" не допустимо"));
        return false;
    }
    return (value.toInt() & bit->second) != 0;
}

bool TUser::HasStaticPermission(const QString& objectName, const QString& action) {
    static const std::map<QString, int> bits{{"run", 1}, {"read", 1}, {"modify", 2}};
    return checkPermission(QStringLiteral("select permissions(object_id('StaticPermissions'),") +
                               TDbUtilsClass::stringLiteral(objectName) + QLatin1Char(')'),
                           objectName, action, bits,
                           QStringLiteral("Ошибка получения разрешения для обекта %1"));
}

bool TUser::HasTablePermission(const QString& tableName, const QString& action) {
    static const std::map<QString, int> bits{{"INSERT", 8}, {"UPDATE", 2}, {"DELETE", 16}};
    return checkPermission(QStringLiteral("select permissions(object_id(") +
                               TDbUtilsClass::stringLiteral(tableName) + QStringLiteral("))"),
                           tableName, action, bits,
                           QStringLiteral("Ошибка получения разрешения для объекта %1"));
}

qint32 TUser::FindPermissionTable(const QString& tableName) const {
    return m_rbac ? m_rbac->FindPermissionTable(tableName) : -1;
}

TActionSet TUser::GetTableActions(qint32 tableId) const {
    return m_rbac ? m_rbac->GetTableActions(tableId) : 0;
}

int TUser::PermissionTableCount() const {
    return m_rbac ? m_rbac->PermissionTableCount() : 0;
}

qint32 TUser::GetPermissionTable(int index, QString& name) const {
    return m_rbac ? m_rbac->GetPermissionTable(index, name) : -1;
}

TActionSet TUser::GetRowPermissions(qint32 tableId, qint32 rowId) {
    if (IsAdmin)
        return GetTableActions(tableId);
    const TPermissionItem* item = Permissions.FindItem(tableId, rowId);
    return item ? item->Actions : 0;
}

void TUser::ReloadPermissions() {
    IsAdmin = false;
    if (m_rbac) {
        QStringList roles;
        m_rbac->GetUserRoles(UserId, roles);
        IsAdmin = roles.contains(QStringLiteral("1"));
    }
    if (!IsAdmin) {
        Permissions.clear();
        if (m_rbac && !m_rbac->LoadUserPermissions(UserName, &Permissions))
            raise(QStringLiteral("Ошибка при создании коллекции разрешений для %1").arg(UserName));
    }
    MMStateReadMask = 0;
    MMStateWriteMask = 0;
    const qint32 states = FindPermissionTable(QStringLiteral("tRoleMMState"));
    for (int i = 0; i < Permissions.count(); ++i) {
        const TPermissionItem& item = Permissions.items(i);
        if (item.TableId != states)
            continue;
        const quint32 b = quint32(1) << (quint32(item.RowId) % 32);
        if (TActions::has(item.Actions, 'r'))
            MMStateReadMask |= b;
        if (TActions::has(item.Actions, 'w'))
            MMStateWriteMask |= b;
    }
}

std::vector<std::pair<qint32, bool>> TUser::rolesWithMembership() const {
    std::vector<std::pair<qint32, bool>> roles;
    const auto query = db().openQuery(
        QStringLiteral(
            "SELECT tRoles.id, CurUserRoles.flag FROM tRoles LEFT OUTER JOIN (SELECT InkRole, 1 AS flag FROM "
            "tUserRoles WHERE InkUser=") +
        QString::number(UserId) + QStringLiteral(") CurUserRoles ON tRoles.id=CurUserRoles.InkRole"));
    for (; !query->eof(); query->next())
        roles.emplace_back(query->value(0).toInt(), query->value(1).isValid());
    return roles;
}

void TUser::saveForRole(qint32 roleId, qint32 tableId, qint32 rowId, TActionSet actions) {
    TPermissionCollection scratch;
    scratch.SetPermission(tableId, rowId, actions);
    if (!m_rbac || !m_rbac->SavePermissions(roleId, &scratch))
        raise(QStringLiteral("Ошибка записи разрешений для новой записи."));
}

void TUser::GrantNewRowPermissions(qint32 tableId, qint32 rowId) {
    const TActionSet all = GetTableActions(tableId);
    Permissions.SetPermission(tableId, rowId, all);
    for (const auto& [role, holds] : rolesWithMembership())
        saveForRole(role, tableId, rowId, holds ? all : GetRowPermissions(tableId << 16, role));
}

void TUser::InheritNewRowPermissions(qint32 tableId, qint32 rowId, qint32 parentRowId) {
    const TActionSet all = GetTableActions(tableId);
    Permissions.SetPermission(tableId, rowId, all);
    for (const auto& [role, holds] : rolesWithMembership()) {
        TActionSet actions = all;
        TPermissionCollection scratch;
        if (!holds) {
            if (m_rbac)
                m_rbac->LoadRolesRowPermissions({role}, {parentRowId, rowId}, tableId, &scratch);
            const TPermissionItem* parent = scratch.FindItem(tableId, parentRowId);
            actions = role == 1 ? all : (parent ? parent->Actions : 0);
        }
        scratch.SetPermission(tableId, rowId, actions);
        if (!m_rbac || !m_rbac->SavePermissions(role, &scratch))
            raise(QStringLiteral("Ошибка записи разрешений для новой записи."));
    }
}
