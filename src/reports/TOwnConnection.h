#pragma once

#include <memory>

class TDbConnection;

// A connection of a window's own, made from the main connection's settings and login, so that its
// work stays apart from the main connection's transaction and cursor.
class TOwnConnection {
public:
    static std::unique_ptr<TDbConnection> open();
};
