#include "TOwnConnection.h"

#include "TDbConnection.h"
#include "TProviderConnection.h"
#include "TdmDataBase.h"

std::unique_ptr<TDbConnection> TOwnConnection::open() {
    const TDbConnection& main = TdmDataBase::instance().adoOrtaDatabase();
    auto connection = std::make_unique<TProviderConnection>();
    connection->setConnectionString(main.connectionString());
    connection->setLogin(main.userName(), main.password());
    connection->setSessionQuery(main.sessionQuery());
    connection->open();
    return connection;
}
