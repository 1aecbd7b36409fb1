#include "TCalcSpreadsheet.h"

#include "TUnoText.h"

#include <QDateTime>
#include <QFileInfo>
#include <QUrl>

#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/script/provider/XScript.hpp>
#include <com/sun/star/script/provider/XScriptProviderSupplier.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSheetOutline.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/BorderLineStyle.hpp>
#include <com/sun/star/table/TableOrientation.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/NumberFormat.hpp>
#include <com/sun/star/util/XNumberFormatTypes.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <com/sun/star/util/XSearchDescriptor.hpp>
#include <com/sun/star/util/XSearchable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

using namespace com::sun::star;
using uno::Reference;
using uno::UNO_QUERY;
using uno::UNO_QUERY_THROW;

namespace {

// Days from the spreadsheet's day 0 (1899-12-30) to a date-time.
double serialOf(const QDateTime& value) {
    static const QDateTime zero(QDate(1899, 12, 30), QTime(0, 0));
    return double(zero.msecsTo(QDateTime(value.date(), value.time()))) / 86400000.0;
}

template <typename Work> auto guarded(Work work) {
    try {
        return work();
    } catch (const uno::Exception& e) {
        throw TUnoText::failure(TUnoText::toQString(e.Message));
    }
}

} // namespace

TCalcSpreadsheet::TCalcSpreadsheet(const Reference<lang::XComponent>& document) : m_document(document) {
    guarded([this] {
        Reference<sheet::XSpreadsheetDocument> spreadsheet(m_document, UNO_QUERY_THROW);
        Reference<container::XIndexAccess> sheets(spreadsheet->getSheets(), UNO_QUERY_THROW);
        m_sheet.set(sheets->getByIndex(0), UNO_QUERY_THROW);
    });
}

Reference<table::XCellRange> TCalcSpreadsheet::range(const TCellRange& cells) const {
    return m_sheet->getCellRangeByPosition(cells.left - 1, cells.top - 1, cells.right - 1, cells.bottom - 1);
}

sal_Int32 TCalcSpreadsheet::formatKey(const QString& code) const {
    Reference<util::XNumberFormatsSupplier> supplier(m_document, UNO_QUERY_THROW);
    Reference<util::XNumberFormats> formats = supplier->getNumberFormats();
    const lang::Locale locale;
    const rtl::OUString text = TUnoText::toOUString(code);
    const sal_Int32 key = formats->queryKey(text, locale, false);
    return key >= 0 ? key : formats->addNew(text, locale);
}

void TCalcSpreadsheet::nameSheet(const QString& name) {
    guarded(
        [&] { Reference<container::XNamed>(m_sheet, UNO_QUERY_THROW)->setName(TUnoText::toOUString(name)); });
}

bool TCalcSpreadsheet::find(const QString& text, int& row, int& column) {
    return guarded([&] {
        Reference<util::XSearchable> searchable(m_sheet, UNO_QUERY_THROW);
        Reference<util::XSearchDescriptor> descriptor = searchable->createSearchDescriptor();
        descriptor->setSearchString(TUnoText::toOUString(text));
        Reference<sheet::XCellRangeAddressable> found(searchable->findFirst(descriptor), UNO_QUERY);
        if (!found.is())
            return false;
        const table::CellRangeAddress address = found->getRangeAddress();
        row = address.StartRow + 1;
        column = address.StartColumn + 1;
        return true;
    });
}

namespace {

// A value as a cell takes it: a number (booleans 1/0, dates their serial number) or a text.
uno::Any cellValue(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return uno::Any(value.toDouble());
    case QMetaType::Bool:
        return uno::Any(value.toBool() ? 1.0 : 0.0);
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return uno::Any(serialOf(value.toDateTime()));
    default:
        return uno::Any(
            TUnoText::toOUString(value.isValid() && !value.isNull() ? value.toString() : QString()));
    }
}

} // namespace

void TCalcSpreadsheet::setCell(int row, int column, const QVariant& value) {
    guarded([&] {
        Reference<table::XCell> cell = m_sheet->getCellByPosition(column - 1, row - 1);
        const uno::Any content = cellValue(value);
        double number = 0;
        if (content >>= number)
            cell->setValue(number);
        else
            Reference<text::XText>(cell, UNO_QUERY_THROW)->setString(content.get<rtl::OUString>());
        const QString format = value.typeId() == QMetaType::Bool ? QStringLiteral("BOOLEAN")
                               : value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime
                                   ? QStringLiteral("DD.MM.YYYY HH:MM:SS")
                                   : QString();
        if (!format.isEmpty())
            Reference<beans::XPropertySet>(cell, UNO_QUERY_THROW)
                ->setPropertyValue("NumberFormat", uno::Any(formatKey(format)));
    });
}

void TCalcSpreadsheet::setBlock(int row, int column, const QList<QVariantList>& rows) {
    if (rows.isEmpty() || rows.first().isEmpty())
        return;
    guarded([&] {
        const int width = int(rows.first().size());
        uno::Sequence<uno::Sequence<uno::Any>> data(rows.size());
        uno::Sequence<uno::Any>* out = data.getArray();
        for (const QVariantList& values : rows) {
            uno::Sequence<uno::Any> line(width);
            uno::Any* cell = line.getArray();
            for (int i = 0; i < width; ++i)
                cell[i] = cellValue(i < values.size() ? values.at(i) : QVariant());
            *out++ = line;
        }
        Reference<sheet::XCellRangeData> target(
            range({row, column, row + int(rows.size()) - 1, column + width - 1}), UNO_QUERY_THROW);
        target->setDataArray(data);
    });
}

void TCalcSpreadsheet::setTextFormat(const TCellRange& cells) {
    guarded([&] {
        Reference<beans::XPropertySet>(range(cells), UNO_QUERY_THROW)
            ->setPropertyValue("NumberFormat", uno::Any(formatKey(QStringLiteral("@"))));
    });
}

void TCalcSpreadsheet::setBottomDoubleBorder(const TCellRange& cells) {
    guarded([&] {
        table::BorderLine2 line;
        line.OuterLineWidth = 18;
        line.InnerLineWidth = 18;
        line.LineDistance = 35;
        line.LineStyle = table::BorderLineStyle::DOUBLE;
        Reference<beans::XPropertySet>(range(cells), UNO_QUERY_THROW)
            ->setPropertyValue("BottomBorder", uno::Any(line));
    });
}

void TCalcSpreadsheet::autofitColumns(int first, int last) {
    guarded([&] {
        Reference<table::XColumnRowRange> columns(range({1, first, 1, last}), UNO_QUERY_THROW);
        Reference<container::XIndexAccess> all(columns->getColumns(), UNO_QUERY_THROW);
        for (sal_Int32 i = 0; i < all->getCount(); ++i)
            Reference<beans::XPropertySet>(all->getByIndex(i), UNO_QUERY_THROW)
                ->setPropertyValue("OptimalWidth", uno::Any(true));
    });
}

void TCalcSpreadsheet::setWrap(const TCellRange& cells, bool wrap) {
    guarded([&] {
        Reference<beans::XPropertySet>(range(cells), UNO_QUERY_THROW)
            ->setPropertyValue("IsTextWrapped", uno::Any(wrap));
    });
}

TCellRange TCalcSpreadsheet::usedRange() {
    return guarded([&] {
        Reference<sheet::XSheetCellCursor> cursor = m_sheet->createCursor();
        Reference<sheet::XUsedAreaCursor> used(cursor, UNO_QUERY_THROW);
        used->gotoStartOfUsedArea(false);
        used->gotoEndOfUsedArea(true);
        const table::CellRangeAddress address =
            Reference<sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)->getRangeAddress();
        return TCellRange{address.StartRow + 1, address.StartColumn + 1, address.EndRow + 1,
                          address.EndColumn + 1};
    });
}

void TCalcSpreadsheet::groupRows(int first, int last) {
    guarded([&] {
        const table::CellRangeAddress rows =
            Reference<sheet::XCellRangeAddressable>(range({first, 1, last, 1}), UNO_QUERY_THROW)
                ->getRangeAddress();
        Reference<sheet::XSheetOutline>(m_sheet, UNO_QUERY_THROW)->group(rows, table::TableOrientation_ROWS);
    });
}

void TCalcSpreadsheet::setBackground(const TCellRange& cells, unsigned rgb) {
    guarded([&] {
        Reference<beans::XPropertySet>(range(cells), UNO_QUERY_THROW)
            ->setPropertyValue("CellBackColor", uno::Any(sal_Int32(rgb)));
    });
}

void TCalcSpreadsheet::selectCell(int row, int column) {
    guarded([&] {
        Reference<frame::XModel> model(m_document, UNO_QUERY_THROW);
        Reference<view::XSelectionSupplier> selection(model->getCurrentController(), UNO_QUERY);
        if (selection.is())
            selection->select(uno::Any(range({row, column, row, column})));
    });
}

bool TCalcSpreadsheet::runMacro(const QString& name) {
    return guarded([&] {
        Reference<script::provider::XScriptProviderSupplier> supplier(m_document, UNO_QUERY_THROW);
        Reference<script::provider::XScript> macro;
        try {
            macro = supplier->getScriptProvider()->getScript(TUnoText::toOUString(
                QStringLiteral("vnd.sun.star.script:Standard.Module1.%1?language=Basic&location=document")
                    .arg(name)));
        } catch (const uno::Exception&) {
            return false;
        }
        uno::Sequence<sal_Int16> outIndexes;
        uno::Sequence<uno::Any> outValues;
        macro->invoke({}, outIndexes, outValues);
        return true;
    });
}

void TCalcSpreadsheet::saveCopyAs(const QString& path) {
    guarded([&] {
        const QString suffix = QFileInfo(path).suffix().toLower();
        const QString filter = suffix == QLatin1String("xlsx")  ? QStringLiteral("Calc MS Excel 2007 XML")
                               : suffix == QLatin1String("xls") ? QStringLiteral("MS Excel 97")
                               : suffix == QLatin1String("xlt")
                                   ? QStringLiteral("MS Excel 97 Vorlage/Template")
                                   : QStringLiteral("calc8");
        uno::Sequence<beans::PropertyValue> arguments(1);
        arguments.getArray()[0].Name = "FilterName";
        arguments.getArray()[0].Value <<= TUnoText::toOUString(filter);
        Reference<frame::XStorable>(m_document, UNO_QUERY_THROW)
            ->storeToURL(TUnoText::toOUString(QString::fromLatin1(
                             QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded())),
                         arguments);
    });
}

void TCalcSpreadsheet::show() {
    guarded([&] {
        Reference<frame::XModel> model(m_document, UNO_QUERY_THROW);
        Reference<frame::XController> controller = model->getCurrentController();
        if (!controller.is() || !controller->getFrame().is())
            return;
        Reference<awt::XWindow> window = controller->getFrame()->getContainerWindow();
        window->setVisible(true);
        // Above the program's own windows: the user is to see what was filled.
        if (Reference<awt::XTopWindow> top{window, UNO_QUERY}; top.is())
            top->toFront();
    });
}
