#pragma once

#include <QString>
#include <rtl/ustring.hxx>
#include <stdexcept>

// Texts between Qt and UNO: both are UTF-16.
class TUnoText {
public:
    static rtl::OUString toOUString(const QString& text) {
        return rtl::OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()), sal_Int32(text.size()));
    }
    // The module shares no error classes with the program: its failures are standard ones.
    static std::runtime_error failure(const QString& text) { return std::runtime_error(text.toStdString()); }
    static QString toQString(const rtl::OUString& text) {
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(text.getStr()), text.getLength());
    }
};
