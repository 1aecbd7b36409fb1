#include "TTemplateFiller.h"

#include "FileLookup.h"
#include "OrtaUtils.h"
#include "TDbQuery.h"
#include "TDbUtilsClass.h"
#include "TSpreadsheet.h"
#include "TSpreadsheetProgram.h"
#include "TUserInteraction.h"

const QString TTemplateFiller::MacroName = QStringLiteral("ShowColorAndGroup");

void TTemplateFiller::runReport(const QString& sql, const QString& caption, const QString& sheetName,
                                bool runMacro) {
    TBusyCursor busy;
    std::unique_ptr<TDbQuery> query = TDbUtilsClass::getInstance()->openQuery(sql);
    fillTemplate(*query, caption, sheetName, 4, runMacro);
}

bool TTemplateFiller::fillTemplate(TDbQuery& query, const QString& templateName, const QString& sheetName,
                                   int firstRow, bool runMacro) {
    std::unique_ptr<TSpreadsheet> sheet;
    try {
        sheet = TSpreadsheetProgram::newWorkbook(resolvePath(installPath() + QStringLiteral("XLTemplates\\") +
                                                             templateName + QStringLiteral(".xlt")));
        sheet->nameSheet(sheetName);
    } catch (const std::exception&) {
        errorBox(QStringLiteral("Excel не установлен."));
        return false;
    }
    QList<QVariantList> rows;
    for (query.first(); !query.eof(); query.next()) {
        QVariantList values;
        for (int i = 0; i < query.fieldCount(); ++i) {
            const QVariant value = query.value(i);
            switch (query.field(i).type) {
            case TSourceFieldType::String:
            case TSourceFieldType::WideString:
            case TSourceFieldType::FixedChar:
            case TSourceFieldType::Memo:
            case TSourceFieldType::FmtMemo:
                // The blank keeps "007" a text.
                values << QLatin1Char(' ') + value.toString();
                break;
            case TSourceFieldType::SmallInt:
            case TSourceFieldType::Integer:
            case TSourceFieldType::Word:
            case TSourceFieldType::AutoInc:
            case TSourceFieldType::LargeInt:
                values << (value.isValid() ? QVariant(value.toLongLong()) : QVariant());
                break;
            case TSourceFieldType::Boolean:
                values << (value.isValid() ? QVariant(value.toBool()) : QVariant());
                break;
            case TSourceFieldType::Float:
            case TSourceFieldType::Currency:
            case TSourceFieldType::Decimal:
                values << (value.isValid() ? QVariant(value.toDouble()) : QVariant());
                break;
            case TSourceFieldType::Date:
            case TSourceFieldType::Time:
            case TSourceFieldType::DateTime:
                values << (value.isValid() ? QVariant(value.toDateTime()) : QVariant());
                break;
            default:
                values << QString();
            }
        }
        rows << values;
    }
    sheet->setBlock(firstRow, 1, rows);
    const TCellRange used = sheet->usedRange();
    sheet->setWrap(used, false);
    sheet->autofitColumns(used.left, used.right);
    sheet->selectCell(1, 1);
    if (runMacro && !sheet->runMacro(MacroName))
        showColorAndGroup(*sheet, query, firstRow);
    sheet->show();
    m_workbooks.push_back(std::move(sheet));
    return true;
}

void TTemplateFiller::showColorAndGroup(TSpreadsheet& sheet, TDbQuery& query, int firstRow) {
    if (query.fieldCount() == 0)
        return;
    const int lastColumn = query.fieldCount();
    int row = firstRow;
    int groupStart = 0;
    for (query.first(); !query.eof(); query.next(), ++row) {
        const int level = query.value(0).toInt();
        if (level == 0) {
            if (groupStart > 0 && row - 1 >= groupStart)
                sheet.groupRows(groupStart, row - 1);
            groupStart = row + 1;
            sheet.setBackground({row, 1, row, lastColumn}, 0xDDEBF7);
        } else if (level == 1) {
            sheet.setBackground({row, 1, row, lastColumn}, 0xF2F2F2);
        }
    }
    if (groupStart > 0 && row - 1 >= groupStart)
        sheet.groupRows(groupStart, row - 1);
}
