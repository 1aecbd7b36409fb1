#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <map>

// The cells of the first sheet of an xlsx file, read from its XML (apart from the program that
// wrote it): reference ("B4") → text, which hold text, and the bottom line of each.
struct SavedSheet {
    std::map<QString, QString> values;
    std::map<QString, bool> isText;
    std::map<QString, QString> bottomBorder; // reference → style of its bottom line
    std::map<int, int> outlineLevel;         // row → its group level, where it has one

    static QByteArray part(const QString& file, const QString& name) {
        QProcess unzip;
        unzip.start("unzip", {"-p", file, name});
        unzip.waitForFinished(30000);
        return unzip.readAllStandardOutput();
    }
    explicit SavedSheet(const QString& file) {
        QStringList shared;
        QXmlStreamReader strings(part(file, "xl/sharedStrings.xml"));
        while (!strings.atEnd()) {
            if (strings.readNext() == QXmlStreamReader::StartElement && strings.name() == u"si")
                shared << strings.readElementText(QXmlStreamReader::IncludeChildElements);
        }
        QStringList borders;
        QList<int> styleBorders;
        QXmlStreamReader styles(part(file, "xl/styles.xml"));
        bool inXfs = false;
        while (!styles.atEnd()) {
            const auto token = styles.readNext();
            if (token == QXmlStreamReader::StartElement && styles.name() == u"border")
                borders << QString();
            if (token == QXmlStreamReader::StartElement && styles.name() == u"bottom" && !borders.isEmpty())
                borders.last() = styles.attributes().value("style").toString();
            if (styles.name() == u"cellXfs")
                inXfs = token == QXmlStreamReader::StartElement;
            if (inXfs && token == QXmlStreamReader::StartElement && styles.name() == u"xf")
                styleBorders << styles.attributes().value("borderId").toInt();
        }
        QXmlStreamReader sheet(part(file, "xl/worksheets/sheet1.xml"));
        while (!sheet.atEnd()) {
            if (sheet.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (sheet.name() == u"row" && sheet.attributes().value("outlineLevel").toInt() > 0)
                outlineLevel[sheet.attributes().value("r").toInt()] =
                    sheet.attributes().value("outlineLevel").toInt();
            if (sheet.name() != u"c")
                continue;
            const QString reference = sheet.attributes().value("r").toString();
            const bool shared_ = sheet.attributes().value("t") == u"s";
            const int style = sheet.attributes().value("s").toInt();
            if (style < styleBorders.size() && styleBorders[style] < borders.size())
                bottomBorder[reference] = borders[styleBorders[style]];
            QString value;
            while (!(sheet.readNext() == QXmlStreamReader::EndElement && sheet.name() == u"c")) {
                if (sheet.tokenType() == QXmlStreamReader::StartElement && sheet.name() == u"v")
                    value = sheet.readElementText();
            }
            values[reference] = shared_ ? shared.value(value.toInt()) : value;
            isText[reference] = shared_;
        }
    }
    QString at(const QString& reference) const {
        const auto found = values.find(reference);
        return found == values.end() ? QString() : found->second;
    }
};
