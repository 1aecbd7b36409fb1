#pragma once

#include <QString>
#include <memory>

class TDbAttrCollection;
class TSpreadsheet;
class TfrMain;

// "Печать" of a book's view: a new workbook from the chosen template with the book — an indented
// tree of ids and captions for a hierarchical book, the grid's rows for the others — left open to
// the user. Positions come from the marker texts "#Титул", "#Заголовок" and "#Данные".
class TBookExport {
public:
    explicit TBookExport(TfrMain& mainWindow);
    ~TBookExport();

    void PrintBook();
    // The marker's own cell; false when the sheet has no such text.
    static bool FindMarker(TSpreadsheet& sheet, const QString& text, int& row, int& column);
    void ExportTree(TDbAttrCollection* book, const QString& templatePath);
    void ExportTable(TDbAttrCollection* book, const QString& templatePath);
    // The workbook of the last export, still open in the spreadsheet program.
    TSpreadsheet* lastWorkbook() const { return m_workbook.get(); }

private:
    TSpreadsheet& openWorkbook(const QString& templatePath);
    // The marker's cell, or row 4, column 1 after telling the user.
    void markerOrFallback(const QString& marker, const QString& missingText, int& row, int& column);
    QString title() const;

    TfrMain& m_mainWindow;
    std::unique_ptr<TSpreadsheet> m_workbook;
};
