#pragma once

#include "TDbConnection.h"

#include <memory>

enum class TDbProvider { SqlServer, PostgreSQL };

// The data module: owner of the program's one database connection.
class TdmDataBase {
public:
    static TdmDataBase& instance();

    // The main connection; a Qt SQL connection unless another was installed.
    TDbConnection& adoOrtaDatabase();
    void setConnection(std::unique_ptr<TDbConnection> connection);

    // Server kind named by the settings store ("provider"; absent = SQL Server).
    static TDbProvider provider();
    static QString registryServer(bool machineOnly);
    static QString registryDbName(bool machineOnly);

    // Rolls back the main connection's open transaction, if any. A connection that is gone has
    // rolled back on the server already, so a failure here is not reported.
    void rollbackIfActive();

private:
    std::unique_ptr<TDbConnection> m_connection;
};
