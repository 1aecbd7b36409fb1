#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <exception>
#include <memory>

class TDbQuery;

// The server's security procedures as the windows call them, and the names of the program's roles:
// the database role of a short name S is "ORTA-" + S.
class TSecurityQueries {
public:
    static const QString RolePrefix;
    using Arguments = QList<QPair<QString, QVariant>>;

    // The name with its first "ORTA-" (in any case) removed.
    static QString shortName(const QString& databaseName);
    static QString databaseName(const QString& shortName) { return RolePrefix + shortName; }

    static std::unique_ptr<TDbQuery> open(const QString& procedure, const Arguments& arguments);
    // A procedure call whose SQL Server text is fixed to the letter ("exec p 'x'"), its lines
    // each ended by a line break.
    static std::unique_ptr<TDbQuery> openExec(const QStringList& sqlServerLines);

    struct Member {
        QString name;
        bool isUser; // a database user (MemberSID not null), otherwise a role
    };
    // sp_helprolemember of one role.
    static QList<Member> roleMembers(const QString& roleName);
    // sp_helprotect of an object (empty: of every object) for a grantee; null when the server reports
    // that nothing matches.
    static std::unique_ptr<TDbQuery> grants(const QString& objectName, const QString& grantee);

    // The error's text contains one of the texts (case-sensitive, as the server writes them).
    static bool errorHas(const std::exception& error, const QStringList& texts);
    // The refusals the windows answer with "not enough rights".
    static bool isNoPermission(const std::exception& error);
};
