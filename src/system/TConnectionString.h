#pragma once

#include <QString>

// The parts of the program's connection string that choose and reach the server.
struct TConnectionString {
    QString provider;    // "PostgreSQL", or an OLE DB provider name meaning SQL Server
    QString database;    // Initial Catalog
    QString server;      // Data Source: host, host,port or host:port (SQL Server: host\instance too)
    QString application; // APP

    static TConnectionString parse(const QString& text);
    bool isPostgres() const;
    // host and port of server; port 0 when none is given.
    QString host() const;
    int port() const;
};
