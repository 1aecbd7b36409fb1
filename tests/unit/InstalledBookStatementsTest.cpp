// Every installed book's INSERT and UPDATE as SQL Server receives them (a recording connection).
// Keys are identity columns: SQL Server refuses a given value for one (error 544) and any UPDATE of
// one, even to the value it holds (error 8102).
#include "DescriptionLoader.h"
#include "RecordingDatabase.h"
#include "TMemoryData.h"
#include "TestFiles.h"
#include "TextHelpers.h"

#include <gtest/gtest.h>

namespace {

TFieldType fieldTypeOf(const TDbAttribute& attribute) {
    const QString type = attribute.type.toLower();
    if (type.startsWith("int"))
        return TFieldType::Integer;
    if (type == "float")
        return TFieldType::Float;
    if (type == "datetime")
        return TFieldType::DateTime;
    if (type == "bit")
        return TFieldType::Boolean;
    return TFieldType::String;
}

QVariant sampleOf(TFieldType type) {
    switch (type) {
    case TFieldType::Integer:
        return 3;
    case TFieldType::Float:
        return 1.5;
    case TFieldType::DateTime:
        return QDateTime(QDate(2026, 12, 11), QTime(10, 0));
    case TFieldType::Boolean:
        return true;
    default:
        return QStringLiteral("x");
    }
}

// The names a statement writes: the INSERT's column list, or the UPDATE's SET list.
QStringList writtenNames(const QString& statement) {
    QStringList names;
    if (statement.startsWith("INSERT ")) {
        for (const QString& column : statement.section("( ", 1).section(')', 0, 0).split(','))
            names << column.trimmed();
    } else {
        for (const QString& assignment : statement.split("\r\n").value(1).split(", "))
            names << assignment.section('=', 0, 0).trimmed();
    }
    return names;
}

class InstalledBookStatements : public ::testing::TestWithParam<QString> {
protected:
    RecordingDatabase database{TDbProvider::SqlServer};
    TRecordingConnection& connection = database.connection();
};

TScriptedResult identity(int id) {
    return TScriptedResult{{{"", TSourceFieldType::Decimal, 0}}, {{double(id)}}, {}};
}

} // namespace

TEST_P(InstalledBookStatements, NoInsertOrUpdateWritesTheKey) {
    const auto book = TDescriptionLoader::loadDescription(installedBookFile(GetParam()));
    ASSERT_TRUE(book);
    const TDbAttribute* key = book->keyAttribute();
    ASSERT_NE(key, nullptr);
    TMemoryData record;
    for (int i = 0; i < book->count(); ++i) {
        const TDbAttribute& a = *book->items(i);
        if (!record.findField(a.fieldName()))
            record.addField(a.fieldName(), fieldTypeOf(a), 255);
    }
    record.open();
    record.append();
    for (int i = 0; i < record.fieldCount(); ++i)
        record.field(i)->setValue(sampleOf(record.field(i)->dataType()));

    connection.results = {identity(44)};
    book->sqlInsert(record);
    ASSERT_FALSE(connection.statements.isEmpty());
    const QString insert = connection.statements.first();
    EXPECT_FALSE(writtenNames(insert).isEmpty()) << insert.toStdString();
    EXPECT_FALSE(writtenNames(insert).contains(key->name, Qt::CaseInsensitive)) << insert.toStdString();
    ASSERT_EQ(record.fieldByName(key->name)->asInteger(), 44);

    connection.statements.clear();
    connection.results = {identity(45)};
    book->sqlUpdate(record);
    for (const QString& statement : connection.statements) {
        EXPECT_FALSE(writtenNames(statement).contains(key->name, Qt::CaseInsensitive))
            << statement.toStdString();
        if (statement.startsWith("UPDATE "))
            EXPECT_TRUE(statement.endsWith("\r\n WHERE " + key->name + "=44\r\n")) << statement.toStdString();
    }
    EXPECT_EQ(connection.statements.size(), book->isMsul ? 2 : 1);
}

INSTANTIATE_TEST_SUITE_P(Installed, InstalledBookStatements,
                         ::testing::ValuesIn(installedWrittenBooks().toVector()),
                         [](const ::testing::TestParamInfo<QString>& info) {
                             return info.param.toStdString();
                         });
