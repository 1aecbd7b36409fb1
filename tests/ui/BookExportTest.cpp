// "Печать" of a book's view into a real LibreOffice Calc (headless here): the workbook is saved and
// its cells, types and borders read back from the file's own XML, apart from LibreOffice.
#include "SavedSheet.h"
#include "TBookExport.h"
#include "TReportsWindows.h"
#include "TSpreadsheet.h"
#include "TSpreadsheetProgram.h"
#include "WorkstationTest.h"

#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <map>

namespace {

class BookExport : public WorkstationTest {
protected:
    void SetUp() override {
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        exec("INSERT INTO VrfType (id, fName) OVERRIDING SYSTEM VALUE VALUES (1, 'Первичная'), (2, '007'), "
             "(3, 'Периодическая')");
        exec("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (10, NULL, "
             "'Давление'), (11, 10, "
             "'Манометры'), "
             "(12, 11, 'Манометры точные'), (13, NULL, 'Масса')");
        start("admin_test", "admin");
        windows = std::make_unique<TReportsWindows>(*window);
    }
    void TearDown() override {
        windows.reset();
        WorkstationTest::TearDown();
    }
    // Presses the view's "Печать" and saves what it filled.
    SavedSheet print(const QString& book) {
        select(book);
        auto* button = window->findChild<QPushButton*>("btPrint");
        EXPECT_NE(button, nullptr);
        if (button)
            button->click();
        TSpreadsheet* workbook = windows->bookExport().lastWorkbook();
        EXPECT_NE(workbook, nullptr) << ui.texts().join('\n').toStdString();
        const QString file = m_folder.filePath("saved.xlsx");
        if (workbook)
            workbook->saveCopyAs(file);
        return SavedSheet(file);
    }

    std::unique_ptr<TReportsWindows> windows;
};

} // namespace

// A flat book: the "№" numbering in the grid's order, every value as text (007 stays 007), the
// header's double bottom line, the title in its marker's cell.
TEST_F(BookExport, TableExportWritesTheGridAsText) {
    const SavedSheet sheet = print("Виды поверки");
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(sheet.at("A1"), "Виды поверки");
    EXPECT_EQ(sheet.at("A3"), "№");
    EXPECT_EQ(sheet.at("B3"), "Наименование");
    EXPECT_EQ(sheet.bottomBorder.at("A3"), "double");
    EXPECT_EQ(sheet.bottomBorder.at("B3"), "double");
    const QStringList names{sheet.at("B4"), sheet.at("B5"), sheet.at("B6")};
    EXPECT_EQ(names, QStringList({"007", "Первичная", "Периодическая"})) << "the grid's order";
    EXPECT_EQ(QStringList({sheet.at("A4"), sheet.at("A5"), sheet.at("A6")}), QStringList({"1", "2", "3"}));
    EXPECT_TRUE(sheet.isText.at("B4")) << "007 is text";
    EXPECT_TRUE(sheet.isText.at("A4"));
}

// A hierarchical book: ids in column 1, captions one column further per level, in caption order.
TEST_F(BookExport, TreeExportIndentsByLevel) {
    const SavedSheet sheet = print("Типы средств измерений");
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(sheet.at("A1"), "Типы средств измерений");
    EXPECT_EQ(sheet.at("A3"), "Id");
    EXPECT_EQ(sheet.at("B3"), "Наименование");
    EXPECT_EQ(QStringList({sheet.at("A4"), sheet.at("B4")}), QStringList({"10", "Давление"}));
    EXPECT_EQ(QStringList({sheet.at("A5"), sheet.at("C5")}), QStringList({"11", "Манометры"}));
    EXPECT_EQ(QStringList({sheet.at("A6"), sheet.at("D6")}), QStringList({"12", "Манометры точные"}));
    EXPECT_EQ(QStringList({sheet.at("A7"), sheet.at("B7")}), QStringList({"13", "Масса"}));
}

// A template without markers: three information boxes, and everything at row 4, column 1 (the data
// over the header, the title over the data's first cell).
TEST_F(BookExport, ATemplateWithoutMarkers) {
    const QString bare = m_folder.filePath("bare.xlt");
    {
        std::unique_ptr<TSpreadsheet> empty = TSpreadsheetProgram::newWorkbook(
            QString(VANTOREL_INSTALLATION_DIR) + "/XLTemplates/Справочники.xlt");
        for (int row : {1, 3, 4})
            empty->setCell(row, 1, QString(""));
        empty->saveCopyAs(bare);
    }
    select("Виды поверки");
    window->FTemplateEdit->setText(bare);
    const SavedSheet sheet = print("Виды поверки");
    ASSERT_EQ(ui.messages.size(), 3u) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(ui.messages[0].text,
              "В шаблоне Excel не найден текст #Заголовок, помечающий строку заголовка.");
    EXPECT_EQ(ui.messages[1].text, "В шаблоне Excel не найден текст #Данные, помечающий строку заголовка.");
    EXPECT_EQ(ui.messages[2].text, "В шаблоне Excel не найден текст #Титул, помечающий наименование отчета.");
    EXPECT_EQ(sheet.at("A4"), "Виды поверки");
    EXPECT_EQ(sheet.at("B4"), "007");
    EXPECT_EQ(sheet.at("A5"), "2");
}

TEST_F(BookExport, AnEmptyTemplateChoiceIsRefusedBeforeTheSpreadsheetStarts) {
    select("Виды поверки");
    window->FTemplateEdit->clear();
    window->findChild<QPushButton*>("btPrint")->click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Выберите файл-документ для отображения справочника.");
    EXPECT_EQ(windows->bookExport().lastWorkbook(), nullptr);
}
