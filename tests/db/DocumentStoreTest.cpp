// The document store on the real server: chunks written through the pointer make up the contents
// at commit, a rolled-back upload leaves the old contents, and the row lock refuses a second user.
#include "EError.h"
#include "TDbUtilsClass.h"
#include "TDocumentStore.h"
#include "TdmDataBase.h"
#include "TestDatabase.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class DocumentStore : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        if (HasFatalFailure())
            return;
        useAsMainConnection();
        db = TDbUtilsClass::getInstance();
        exec("INSERT INTO Doc (id, Descript, FileName, Format, Doc) OVERRIDING SYSTEM VALUE VALUES (7, "
             "'Паспорт', 'p.pdf', 'pdf', "
             "'\\x0102'::bytea), (8, 'Пустой', 'e.txt', 'txt', NULL)");
    }

    QString file(const QByteArray& bytes) {
        const QString path = folder.filePath(QString("f%1.bin").arg(files++));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QByteArray pointerOf(int id) {
        return db->openQuery(TDocumentStore::pointerQuery(id))->value(0).toByteArray();
    }
    QByteArray contentsOf(int id) {
        return db->openQuery(QString("Select DOC, FileName from DOC where id=%1").arg(id))
            ->value(0)
            .toByteArray();
    }

    TDbUtilsClass* db = nullptr;
    QTemporaryDir folder;
    int files = 0;
};

QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

} // namespace

TEST_F(DocumentStore, ChunksMakeUpTheContentsAtCommit) {
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    EXPECT_EQ(pointerOf(7).size(), 16);
    EXPECT_TRUE(db->openQuery(TDocumentStore::pointerQuery(8))->value(0).isNull())
        << "null contents, no pointer";

    const QByteArray big = randomBytes(1200000);
    connection.beginTransaction();
    int steps = 0;
    TDocumentStore::uploadFile(pointerOf(7), file(big), [&steps] { ++steps; });
    connection.commit();
    EXPECT_EQ(steps, 3);
    EXPECT_EQ(contentsOf(7), big);
    EXPECT_EQ(db->openQuery("SELECT DATALENGTH(Doc.Doc) Size FROM Doc WHERE id=7")->value(0).toInt(),
              1200000);
    EXPECT_EQ(db->openQuery("SELECT count(*) FROM DocChunks")->value(0).toInt(), 0)
        << "nothing waits after commit";

    // A smaller file replaces everything; an empty one leaves empty contents.
    const QByteArray small = randomBytes(10);
    connection.beginTransaction();
    TDocumentStore::uploadFile(pointerOf(7), file(small), {});
    connection.commit();
    EXPECT_EQ(contentsOf(7), small);
    connection.beginTransaction();
    TDocumentStore::uploadFile(pointerOf(7), file({}), {});
    connection.commit();
    EXPECT_EQ(contentsOf(7), QByteArray(""));
    EXPECT_FALSE(db->openQuery("SELECT Doc FROM Doc WHERE id=7")->value(0).isNull());
}

TEST_F(DocumentStore, ARolledBackUploadLeavesTheOldContents) {
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    connection.beginTransaction();
    TDocumentStore::uploadFile(pointerOf(7), file(randomBytes(600000)), {});
    connection.rollback();
    EXPECT_EQ(contentsOf(7), QByteArray("\x01\x02"));
    EXPECT_EQ(db->openQuery("SELECT count(*) FROM DocChunks")->value(0).toInt(), 0);
}

TEST_F(DocumentStore, ALockedOrDeletedDocumentIsReported) {
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    auto other = openProgramConnection();
    other->beginTransaction();
    other->openQuery("SELECT id FROM Doc WHERE id=7 FOR UPDATE");
    connection.beginTransaction();
    try {
        TDocumentStore::lockDocument(7);
        ADD_FAILURE() << "a document locked by another user was locked again";
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), "Документ редактируется другим пользователем.");
    }
    try {
        TDocumentStore::lockDocument(12345);
        ADD_FAILURE() << "a missing document was locked";
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), "Документ был удален.");
    }
    connection.rollback();
    other->rollback();
}

// The path of a type in the type tree: the type, then its parent.
TEST_F(DocumentStore, ThePathOfAnInstrumentType) {
    exec("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (1, NULL, 'Давление'), "
         "(2, 1, 'Манометры'), "
         "(3, 2, 'МП-100')");
    EXPECT_EQ(db->openQuery("SELECT dbo.com_GetMITPathEx(3, '»', 0, 2)")->value(0).toString(),
              "МП-100»Манометры");
    EXPECT_EQ(db->openQuery("SELECT dbo.com_GetMITPathEx(1, '»', 0, 2)")->value(0).toString(), "Давление");
}
