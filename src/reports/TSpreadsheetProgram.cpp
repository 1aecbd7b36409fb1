#include "TSpreadsheetProgram.h"

#include "EOrtaException.h"
#include "TSpreadsheet.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace {

using NewWorkbook = TSpreadsheet* (*)(const QString& templatePath, QString* error);

NewWorkbook loadModule(QString& reason) {
    static NewWorkbook entry = nullptr;
    static QString failure;
    static bool tried = false;
    if (!tried) {
        tried = true;
        // Beside the program, or where the build put it (tests and benchmarks run from elsewhere).
        for (const QString& folder :
             {QCoreApplication::applicationDirPath(), QStringLiteral(VANTOREL_CALC_MODULE_DIR)}) {
            QLibrary module(QDir(folder).filePath(QStringLiteral("vantorel_calc")));
            entry = reinterpret_cast<NewWorkbook>(module.resolve("vantorel_calc_new_workbook"));
            if (entry)
                break;
            failure = module.errorString();
        }
    }
    reason = failure;
    return entry;
}

} // namespace

std::unique_ptr<TSpreadsheet> TSpreadsheetProgram::newWorkbook(const QString& templatePath) {
    QString reason;
    const NewWorkbook entry = loadModule(reason);
    if (!entry)
        throw EOrtaException(QStringLiteral("LibreOffice Calc не установлен: ") + reason);
    QString error;
    std::unique_ptr<TSpreadsheet> workbook(entry(templatePath, &error));
    if (!workbook)
        throw EOrtaException(error);
    return workbook;
}
