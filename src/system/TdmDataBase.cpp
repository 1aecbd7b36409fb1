#include "TdmDataBase.h"

#include "EDBException.h"
#include "TOrtaSettings.h"
#include "TProviderConnection.h"

TdmDataBase& TdmDataBase::instance() {
    static TdmDataBase dmDataBase;
    return dmDataBase;
}

TDbConnection& TdmDataBase::adoOrtaDatabase() {
    if (!m_connection)
        m_connection = std::make_unique<TProviderConnection>();
    return *m_connection;
}

void TdmDataBase::setConnection(std::unique_ptr<TDbConnection> connection) {
    m_connection = std::move(connection);
}

TDbProvider TdmDataBase::provider() {
    return TOrtaSettings::provider().compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) == 0
               ? TDbProvider::PostgreSQL
               : TDbProvider::SqlServer;
}

QString TdmDataBase::registryServer(bool machineOnly) {
    return TOrtaSettings::server(machineOnly);
}

QString TdmDataBase::registryDbName(bool machineOnly) {
    return TOrtaSettings::dbName(machineOnly);
}

void TdmDataBase::rollbackIfActive() {
    TDbConnection& connection = adoOrtaDatabase();
    if (!connection.inTransaction())
        return;
    try {
        connection.rollback();
    } catch (const EDBException&) {
    }
}
