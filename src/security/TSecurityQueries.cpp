#include "TSecurityQueries.h"

#include "TDbQuery.h"
#include "TDbUtilsClass.h"

const QString TSecurityQueries::RolePrefix = QStringLiteral("ORTA-");

QString TSecurityQueries::shortName(const QString& databaseName) {
    QString name = databaseName;
    const qsizetype at = name.indexOf(RolePrefix, 0, Qt::CaseInsensitive);
    if (at >= 0)
        name.remove(at, RolePrefix.size());
    return name;
}

std::unique_ptr<TDbQuery> TSecurityQueries::open(const QString& procedure, const Arguments& arguments) {
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    return db->openQuery(db->procedureCall(procedure, arguments));
}

std::unique_ptr<TDbQuery> TSecurityQueries::openExec(const QStringList& sqlServerLines) {
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    return db->openQuery(db->execText(sqlServerLines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

QList<TSecurityQueries::Member> TSecurityQueries::roleMembers(const QString& roleName) {
    QList<Member> members;
    std::unique_ptr<TDbQuery> query = open(QStringLiteral("sp_helprolemember"), {{"rolename", roleName}});
    for (; !query->eof(); query->next()) {
        const QVariant sid = query->value(QStringLiteral("MemberSID"));
        members.append(
            {query->value(QStringLiteral("MemberName")).toString(), sid.isValid() && !sid.isNull()});
    }
    return members;
}

std::unique_ptr<TDbQuery> TSecurityQueries::grants(const QString& objectName, const QString& grantee) {
    try {
        return open(
            QStringLiteral("sp_helprotect"),
            {{"name", objectName.isEmpty() ? QVariant() : QVariant(objectName)}, {"username", grantee}});
    } catch (const std::exception& e) {
        if (errorHas(e, {QStringLiteral("There are no matching rows on which to report"),
                         QStringLiteral("Совпадающие строки отсутствуют")}))
            return nullptr;
        throw;
    }
}

bool TSecurityQueries::errorHas(const std::exception& error, const QStringList& texts) {
    const QString message = QString::fromUtf8(error.what());
    for (const QString& text : texts) {
        if (message.contains(text))
            return true;
    }
    return false;
}

bool TSecurityQueries::isNoPermission(const std::exception& error) {
    return errorHas(error, {QStringLiteral("User does not have permission to perform this action"),
                            QStringLiteral("permission denied")});
}
