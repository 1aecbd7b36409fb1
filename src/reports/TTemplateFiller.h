#pragma once

#include "TSpreadsheet.h"

#include <QString>
#include <memory>
#include <vector>

class TDbQuery;

// Pours a query's rows into a new workbook made from a report template of the installation
// ("XLTemplates\<name>.xlt") and leaves it to the user.
class TTemplateFiller {
public:
    // Opens the query, fills the template, closes the query; the busy cursor meanwhile.
    void runReport(const QString& sql, const QString& caption, const QString& sheetName, bool runMacro);
    // False (after telling the user "Excel не установлен.") when the spreadsheet cannot be made.
    bool fillTemplate(TDbQuery& query, const QString& templateName, const QString& sheetName, int firstRow,
                      bool runMacro);
    // The workbooks filled so far, still open in the spreadsheet program.
    const std::vector<std::unique_ptr<TSpreadsheet>>& workbooks() const { return m_workbooks; }

    static const QString MacroName;

private:
    // What the templates' macro does, for a template that carries none: the rows of a tree (level
    // in the first column) are coloured by level and grouped under their parents.
    static void showColorAndGroup(TSpreadsheet& sheet, TDbQuery& query, int firstRow);

    std::vector<std::unique_ptr<TSpreadsheet>> m_workbooks;
};
