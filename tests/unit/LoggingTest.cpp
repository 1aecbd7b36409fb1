#include "EInOutError.h"
#include "TLogging.h"
#include "TextHelpers.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Logs go to the working folder: each test works in a fresh one.
class Logging : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_folder.path()));
    }
    void TearDown() override { QDir::setCurrent(m_previous); }

    QByteArray read(const QString& name) {
        QFile file(m_folder.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_folder;
    QString m_previous;
};

} // namespace

TEST_F(Logging, ExceptionIsTwoLinesInTheErrorFile) {
    TLogging::logException(QStringLiteral("Quillon. EDBException. TfrMain.N1Click"));
    TLogging::logException(QStringLiteral("Справочник не загружен"));
    const QByteArray bytes = read("errors.txt");
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 5); // four lines, each ended by CR LF
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    const QRegularExpression stamp(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d{1,2}:\\d\\d:\\d\\d\r$"));
    EXPECT_TRUE(stamp.match(QString::fromLatin1(lines[0])).hasMatch()) << lines[0].toStdString();
    EXPECT_EQ(lines[1], "Exception. Quillon. EDBException. TfrMain.N1Click\r");
    EXPECT_EQ(fromWindows1251(lines[3]), QStringLiteral("Exception. Справочник не загружен\r"));
}

TEST_F(Logging, LevelsChooseTheFileAndEmptyTextWritesNothing) {
    TLogging::writeLog(QString(), 0);
    EXPECT_FALSE(QFile::exists(m_folder.filePath("errors.txt")));
    TLogging::writeLog("w", TLogging::Warning);
    TLogging::writeLog("m", TLogging::Message);
    TLogging::writeLog("d", TLogging::Daily);
    EXPECT_EQ(read("warnings.txt"), "w\r\n");
    EXPECT_EQ(read("messages.txt"), "m\r\n");
    EXPECT_EQ(read(TLogging::fileName(TLogging::Daily)), "d\r\n");
    EXPECT_EQ(TLogging::fileName(TLogging::Daily),
              "log_" + QDate::currentDate().toString("dd.MM.yyyy") + ".txt");
}

TEST_F(Logging, AFileThatCannotBeOpenedRaises) {
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("errors.txt"));
    EXPECT_THROW(TLogging::logError("x"), EInOutError);
}
