#include "TestDatabase.h"

#include <QSqlError>
#include <QSqlQuery>

TEST_F(DbTest, StoresAndReadsBackCyrillicText) {
    exec(QStringLiteral("CREATE TABLE probe (id int PRIMARY KEY, caption varchar(100))"));
    const QString caption = QStringLiteral("Манометр показывающий «МП-100», ёмкость №2");
    QSqlQuery insert(db());
    ASSERT_TRUE(insert.prepare(QStringLiteral("INSERT INTO probe (id, caption) VALUES (?, ?)")));
    insert.addBindValue(1);
    insert.addBindValue(caption);
    ASSERT_TRUE(insert.exec()) << insert.lastError().text().toStdString();

    QSqlQuery select(db());
    ASSERT_TRUE(select.exec(
        QStringLiteral("SELECT caption, length(caption), octet_length(caption) FROM probe WHERE id = 1")));
    ASSERT_TRUE(select.next());
    EXPECT_EQ(select.value(0).toString(), caption);
    EXPECT_EQ(select.value(1).toInt(), caption.size()); // characters, not bytes: the server holds Unicode
    EXPECT_GT(select.value(2).toInt(), caption.size());
}

TEST_F(DbTest, EveryTestHasItsOwnDatabase) {
    QSqlQuery query(db());
    ASSERT_TRUE(query.exec(QStringLiteral("SELECT current_database()")));
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.value(0).toString(), databaseName());
    EXPECT_NE(databaseName(), server().templateName);
}
