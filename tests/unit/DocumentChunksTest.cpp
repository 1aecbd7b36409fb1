// How a file goes into the document store: chunk by chunk through the text pointer, with SQL
// Server's statement to the letter.
#include "RecordingDatabase.h"
#include "TDocumentStore.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ChunkCase {
    qint64 size;
    std::vector<qint64> offsets;
    std::vector<qint64> lengths;
};

class DocumentChunks : public ::testing::TestWithParam<ChunkCase> {};

} // namespace

TEST_P(DocumentChunks, AreSentInOrderThroughThePointer) {
    const ChunkCase& c = GetParam();
    QTemporaryDir folder;
    const QString path = folder.filePath("file.bin");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray bytes(c.size, '\0');
    for (qint64 i = 0; i < c.size; ++i)
        bytes[i] = char(i * 7 % 251);
    file.write(bytes);
    file.close();

    RecordingDatabase database(TDbProvider::SqlServer);
    const QByteArray pointer(16, '\x5a');
    int steps = 0;
    TDocumentStore::uploadFile(pointer, path, [&steps] { ++steps; });
    TRecordingConnection& connection = database.connection();
    ASSERT_EQ(connection.boundValues.size(), c.offsets.size());
    EXPECT_EQ(steps, int(c.offsets.size()));
    EXPECT_EQ(TDocumentStore::chunkCount(c.size), c.size == 0 ? 0 : int(c.offsets.size()));
    QByteArray joined;
    for (std::size_t i = 0; i < c.offsets.size(); ++i) {
        EXPECT_EQ(connection.statements[qsizetype(i)], "updatetext DOC.Doc :PTR :OFFSET :LENGTH :BUFFER");
        const QVariantList& values = connection.boundValues[i];
        ASSERT_EQ(values.size(), 4);
        EXPECT_EQ(values[0].toByteArray(), pointer);
        EXPECT_EQ(values[1].toLongLong(), c.offsets[i]);
        EXPECT_TRUE(values[2].isNull()) << "the rest of the contents is replaced";
        EXPECT_EQ(values[3].toByteArray().size(), c.lengths[i]);
        joined += values[3].toByteArray();
    }
    EXPECT_EQ(joined, bytes);
}

INSTANTIATE_TEST_SUITE_P(Files, DocumentChunks,
                         ::testing::Values(ChunkCase{1200000, {0, 500000, 1000000}, {500000, 500000, 200000}},
                                           ChunkCase{500000, {0}, {500000}},
                                           ChunkCase{
                                               0, {0}, {0}}, // an empty file still clears the placeholder
                                           ChunkCase{500001, {0, 500000}, {500000, 1}}));

// A stored file name is written into its temporary folder and nowhere else.
TEST(DocumentFileName, StaysAPlainNameInsideItsFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"акт.docx", "акт.docx"},
        {"../../escape.txt", "escape.txt"},
        {"..\\..\\Windows\\win.ini", "win.ini"},
        {"/etc/passwd", "passwd"},
        {"C:autoexec.bat", "autoexec.bat"},
        {"\\\\server\\share\\x.pdf", "x.pdf"},
        {"..", "Документ"},
        {"dir/", "Документ"},
        {"", "Документ"},
        {"CON", "_CON"},
        {"nul.txt", "_nul.txt"},
        {"com1.doc", "_com1.doc"},
        {"CONTROL.txt", "CONTROL.txt"},
        {"report. . ", "report"},
        {"a\tb\x01.txt", "ab.txt"},
    };
    for (const auto& [stored, plain] : cases)
        EXPECT_EQ(TDocumentStore::plainFileName(QString::fromUtf8(stored)), QString::fromUtf8(plain))
            << stored;
}
