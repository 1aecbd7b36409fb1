#pragma once

#include <QString>
#include <atomic>
#include <mutex>
#include <thread>

// The part of a SQL Server the ODBC driver talks to during a login and a statement, for tests of
// what the driver is given: it takes one connection, reads the login packet (user, password,
// database as the driver sent them) and, when told to, accepts the login, answers every batch
// with an empty result and never answers a batch containing "WAITFOR", until the driver cancels
// it.
class TFakeTdsServer {
public:
    explicit TFakeTdsServer(bool acceptLogin);
    ~TFakeTdsServer();

    int port() const { return m_port; }

    struct Login {
        QString user;
        QString password;
        QString database;
    };
    Login login() const;
    bool cancelled() const { return m_cancelled; }

private:
    void serve();
    void answer(int client);

    bool m_acceptLogin;
    int m_listener = -1;
    int m_port = 0;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    Login m_login;
    std::atomic<bool> m_cancelled{false};
};
