#pragma once

#include <QString>
#include <memory>

class TSpreadsheet;

// The spreadsheet program: a new workbook from a template. The LibreOffice module is loaded on the
// first call; without it (or without LibreOffice) the call raises EOrtaException with the reason.
class TSpreadsheetProgram {
public:
    static std::unique_ptr<TSpreadsheet> newWorkbook(const QString& templatePath);
};
