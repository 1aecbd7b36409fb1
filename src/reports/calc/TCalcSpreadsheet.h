#pragma once

#include "TSpreadsheet.h"

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>

// A LibreOffice Calc document driven over UNO.
class TCalcSpreadsheet : public TSpreadsheet {
public:
    explicit TCalcSpreadsheet(
        const com::sun::star::uno::Reference<com::sun::star::lang::XComponent>& document);

    void nameSheet(const QString& name) override;
    bool find(const QString& text, int& row, int& column) override;
    void setCell(int row, int column, const QVariant& value) override;
    void setBlock(int row, int column, const QList<QVariantList>& rows) override;
    void setTextFormat(const TCellRange& range) override;
    void setBottomDoubleBorder(const TCellRange& range) override;
    void autofitColumns(int first, int last) override;
    void setWrap(const TCellRange& range, bool wrap) override;
    TCellRange usedRange() override;
    void groupRows(int first, int last) override;
    void setBackground(const TCellRange& range, unsigned rgb) override;
    void selectCell(int row, int column) override;
    bool runMacro(const QString& name) override;
    void saveCopyAs(const QString& path) override;
    void show() override;

private:
    com::sun::star::uno::Reference<com::sun::star::table::XCellRange> range(const TCellRange& cells) const;
    sal_Int32 formatKey(const QString& code) const;

    com::sun::star::uno::Reference<com::sun::star::lang::XComponent> m_document;
    com::sun::star::uno::Reference<com::sun::star::sheet::XSpreadsheet> m_sheet;
};
