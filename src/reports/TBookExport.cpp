#include "TBookExport.h"

#include "FileLookup.h"
#include "OrtaUtils.h"
#include "TATreeDataCollection.h"
#include "TATreeDataCollectionItem.h"
#include "TDbAttrCollection.h"
#include "TDbAttribute.h"
#include "TField.h"
#include "TSpreadsheet.h"
#include "TSpreadsheetProgram.h"
#include "TUserInteraction.h"
#include "TfrMain.h"

#include <QLineEdit>
#include <QTreeWidgetItem>
#include <functional>

TBookExport::TBookExport(TfrMain& mainWindow) : m_mainWindow(mainWindow) {}

TBookExport::~TBookExport() = default;

QString TBookExport::title() const {
    const TATreeDataCollectionItem* item =
        m_mainWindow.FCurrentNode ? m_mainWindow.NodeItem(m_mainWindow.FCurrentNode) : nullptr;
    return item ? item->caption() : QString();
}

void TBookExport::PrintBook() {
    QTreeWidgetItem* node = m_mainWindow.FCurrentNode;
    const TATreeDataCollectionItem* item = node ? m_mainWindow.NodeItem(node) : nullptr;
    TDbAttrCollection* book = item ? item->attrs() : nullptr;
    if (!book) {
        errorBox(QStringLiteral("Нет информации о справочнике ") + (node ? node->text(0) : QString()) +
                 QLatin1Char('.'));
        return;
    }
    const QString templatePath =
        m_mainWindow.FTemplateEdit ? m_mainWindow.FTemplateEdit->text().trimmed() : QString();
    if (templatePath.isEmpty()) {
        errorBox(QStringLiteral("Выберите файл-документ для отображения справочника."));
        return;
    }
    if (book->isHierarchical()) {
        ExportTree(book, templatePath);
        return;
    }
    if (m_mainWindow.FrxmdData.recordCount() == 0) {
        errorBox(QStringLiteral("Нет данных для формирования отчета."));
        return;
    }
    try {
        ExportTable(book, templatePath);
    } catch (const std::exception&) {
        errorBox(QStringLiteral("Невозможно вывести отчет."));
    }
}

bool TBookExport::FindMarker(TSpreadsheet& sheet, const QString& text, int& row, int& column) {
    return sheet.find(text, row, column);
}

TSpreadsheet& TBookExport::openWorkbook(const QString& templatePath) {
    TBusyCursor busy;
    m_workbook = TSpreadsheetProgram::newWorkbook(resolvePath(templatePath));
    return *m_workbook;
}

void TBookExport::markerOrFallback(const QString& marker, const QString& missingText, int& row, int& column) {
    if (FindMarker(*m_workbook, marker, row, column))
        return;
    TUserInteraction::instance().messageBox(missingText, TMessageKind::Information, TMsgButtons::Ok);
    row = 4;
    column = 1;
}

namespace {

const QString TitleMissing =
    QStringLiteral("В шаблоне Excel не найден текст #Титул, помечающий наименование отчета.");
const QString DataMissing =
    QStringLiteral("В шаблоне Excel не найден текст #Данные, помечающий строку заголовка.");
const QString HeaderMissing =
    QStringLiteral("В шаблоне Excel не найден текст #Заголовок, помечающий строку заголовка.");

} // namespace

void TBookExport::ExportTree(TDbAttrCollection* book, const QString& templatePath) {
    TSpreadsheet& sheet = openWorkbook(templatePath);
    int row = 0, column = 0;
    markerOrFallback(QStringLiteral("#Титул"), TitleMissing, row, column);
    sheet.setCell(row, column, title());
    markerOrFallback(QStringLiteral("#Данные"), DataMissing, row, column);
    --row;
    sheet.setCell(row, column, QStringLiteral("Id"));
    sheet.setCell(row, column + 1, QStringLiteral("Наименование"));
    TATreeDataCollection tree;
    tree.setSortMode(TATreeDataCollection::Ascending);
    tree.loadBook(installPath() + QStringLiteral("BusinessData\\ReferenceBooks\\") + book->mainTableName() +
                      QStringLiteral(".xml"),
                  false);
    std::function<void(const TATreeDataCollectionItem*, int)> write =
        [&](const TATreeDataCollectionItem* item, int level) {
            for (const TATreeDataCollectionItem* child = item->firstChild(); child;
                 child = child->nextSibling()) {
                ++row;
                sheet.setCell(row, 1, QString::number(child->id()));
                sheet.setCell(row, column + level + 1, child->caption());
                write(child, level + 1);
            }
        };
    if (TATreeDataCollectionItem* top = tree.root() ? tree.root()->firstChild() : nullptr)
        write(top, 0);
    sheet.show();
}

void TBookExport::ExportTable(TDbAttrCollection* book, const QString& templatePath) {
    const std::vector<int> columns = book->gridAttributeIndexes();
    const int n = int(columns.size());
    TSpreadsheet& sheet = openWorkbook(templatePath);
    try {
        int row = 0, column = 0;
        markerOrFallback(QStringLiteral("#Заголовок"), HeaderMissing, row, column);
        sheet.setCell(row, column, QStringLiteral("№"));
        for (int i = 0; i < n; ++i)
            sheet.setCell(row, column + 1 + i, book->items(columns[std::size_t(i)])->fname);
        sheet.setBottomDoubleBorder({row, column, row, n + 1});
        markerOrFallback(QStringLiteral("#Данные"), DataMissing, row, column);
        TMemoryData& data = m_mainWindow.FrxmdData;
        std::vector<TField*> fields;
        for (int index : columns)
            fields.push_back(data.fieldByName(book->items(index)->fieldName()));
        // Every value as text: codes keep their leading zeros.
        QList<QVariantList> rows;
        rows.reserve(data.recordCount());
        for (int recNo = 1; recNo <= data.recordCount(); ++recNo) {
            QVariantList values;
            values.reserve(n + 1);
            values << QString::number(recNo);
            for (TField* field : fields)
                values << field->displayTextOf(data.valueAt(recNo, field));
            rows << values;
        }
        if (!rows.isEmpty()) {
            const TCellRange block{row, column, row + int(rows.size()) - 1, column + n};
            sheet.setTextFormat(block);
            sheet.setBlock(row, column, rows);
        }
        sheet.autofitColumns(column + 1, column + n);
        sheet.setWrap({row, column, row, n + 1}, true);
        markerOrFallback(QStringLiteral("#Титул"), TitleMissing, row, column);
        sheet.setCell(row, column,
                      m_mainWindow.FCurrentNode ? m_mainWindow.FCurrentNode->text(0) : QString());
    } catch (...) {
        sheet.show();
        throw;
    }
    sheet.show();
}
