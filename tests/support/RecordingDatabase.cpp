#include "RecordingDatabase.h"

RecordingDatabase::RecordingDatabase(TDbProvider provider) {
    auto connection = std::make_unique<TRecordingConnection>();
    m_connection = connection.get();
    TdmDataBase::instance().setConnection(std::move(connection));
    TDbUtilsClass::setInstance(TDbUtilsClass::create(provider));
}

RecordingDatabase::~RecordingDatabase() {
    TDbUtilsClass::setInstance(nullptr);
    TdmDataBase::instance().setConnection(nullptr);
}
