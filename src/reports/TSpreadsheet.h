#pragma once

#include <QList>
#include <QString>
#include <QVariantList>

// A rectangle of cells, 1-based and inclusive.
struct TCellRange {
    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;
};

// One workbook of a spreadsheet program, with just what the book export and the reports do to it.
// Implementations: LibreOffice Calc over UNO here; a Windows build would drive "Excel.Application"
// over COM with the same operations. Every operation raises EOrtaException when the program fails.
class TSpreadsheet {
public:
    virtual ~TSpreadsheet() = default;

    // The first sheet is the active one.
    virtual void nameSheet(const QString& name) = 0;
    // The first cell of the sheet holding the text; false when there is none.
    virtual bool find(const QString& text, int& row, int& column) = 0;
    // Texts as text, numbers as numbers, booleans as booleans, dates as date-times.
    virtual void setCell(int row, int column, const QVariant& value) = 0;
    // Rows of values written at once from (row, column).
    virtual void setBlock(int row, int column, const QList<QVariantList>& rows) = 0;
    // The text number format ("@"): what is written later stays text, leading zeros included.
    virtual void setTextFormat(const TCellRange& range) = 0;
    virtual void setBottomDoubleBorder(const TCellRange& range) = 0;
    virtual void autofitColumns(int first, int last) = 0;
    virtual void setWrap(const TCellRange& range, bool wrap) = 0;
    virtual TCellRange usedRange() = 0;
    // An outline group of the rows (1-based, inclusive), shown open.
    virtual void groupRows(int first, int last) = 0;
    // The cells' fill colour, 0xRRGGBB.
    virtual void setBackground(const TCellRange& range, unsigned rgb) = 0;
    virtual void selectCell(int row, int column) = 0;
    // Runs a macro the document carries; false when it has none of that name.
    virtual bool runMacro(const QString& name) = 0;
    // Saves a copy (the format by the file's extension: xlsx, ods, xls, xlt).
    virtual void saveCopyAs(const QString& path) = 0;
    // Leaves the workbook to the user in the program's window.
    virtual void show() = 0;
};
