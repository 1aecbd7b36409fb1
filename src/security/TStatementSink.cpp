#include "TStatementSink.h"

#include "TDbUtilsClass.h"

void TStatementSink::write(const QString& sql) {
    if (m_recording)
        m_recorded << sql;
    else
        TDbUtilsClass::getInstance()->runSQL(sql);
}

void TStatementSink::write(const QStringList& lines) {
    if (m_recording)
        m_recorded << lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    else
        TDbUtilsClass::getInstance()->runSQL(lines);
}

void TStatementSink::exec(const QString& sqlServerText) {
    write(TDbUtilsClass::getInstance()->execText(sqlServerText));
}

void TStatementSink::call(const QString& procedure, const QList<QPair<QString, QVariant>>& arguments) {
    write(TDbUtilsClass::getInstance()->procedureCall(procedure, arguments));
}
