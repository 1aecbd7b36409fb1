#pragma once

#include <QList>
#include <QPair>
#include <QStringList>
#include <QVariant>

// Where the security windows send the statements that change the database: to the server, or,
// for the preview of what a save would do, into a list (reads still go to the server).
class TStatementSink {
public:
    explicit TStatementSink(bool recording = false) : m_recording(recording) {}

    void write(const QString& sql);
    void write(const QStringList& lines);
    // A stored procedure with named arguments.
    void call(const QString& procedure, const QList<QPair<QString, QVariant>>& arguments);
    // A procedure call whose SQL Server text is fixed to the letter ("exec p @a = 'x', …").
    void exec(const QString& sqlServerText);
    bool recording() const { return m_recording; }
    const QStringList& recorded() const { return m_recorded; }

private:
    bool m_recording;
    QStringList m_recorded;
};
