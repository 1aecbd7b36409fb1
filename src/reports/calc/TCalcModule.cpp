// The module's one entry: the program loads it only when it needs a spreadsheet, so that it starts
// and works without LibreOffice installed.
#include "TCalcOffice.h"
#include "TSpreadsheet.h"

#include <QString>

extern "C" Q_DECL_EXPORT TSpreadsheet* vantorel_calc_new_workbook(const QString& templatePath,
                                                                  QString* error) {
    try {
        return TCalcOffice::instance().newWorkbook(templatePath).release();
    } catch (const std::exception& e) {
        if (error)
            *error = QString::fromUtf8(e.what());
        return nullptr;
    }
}
