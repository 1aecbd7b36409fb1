#pragma once

#include "TDbUtilsClass.h"
#include "TRecordingConnection.h"

// Installs a recording connection as the main connection and the chosen dialect as the single
// data-access instance, for the life of the object.
class RecordingDatabase {
public:
    explicit RecordingDatabase(TDbProvider provider = TDbProvider::SqlServer);
    ~RecordingDatabase();
    RecordingDatabase(const RecordingDatabase&) = delete;
    RecordingDatabase& operator=(const RecordingDatabase&) = delete;

    TRecordingConnection& connection() { return *m_connection; }
    TDbUtilsClass& db() { return *TDbUtilsClass::getInstance(); }

private:
    TRecordingConnection* m_connection;
};
