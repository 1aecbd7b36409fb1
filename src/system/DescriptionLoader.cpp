#include "DescriptionLoader.h"

#include "TXmlDocument.h"
#include "TextHelpers.h"

namespace {

bool readFlag(const TXmlAttributes& attributes, const char* name, const char* trueText) {
    return trimBlanks(TDescriptionLoader::xmlAttr(attributes, QString::fromLatin1(name))) ==
           QLatin1String(trueText);
}

TDbAttribute* readReference(const TXmlAttributes& attributes, const char* name,
                            const TDbAttrCollection& collection) {
    const QString text = TDescriptionLoader::xmlAttr(attributes, QString::fromLatin1(name));
    if (text.isEmpty())
        return nullptr;
    return collection.attributeByUid(strToInt(text));
}

TDbAttrKind readKind(const TXmlAttributes& attributes) {
    const QString kind = trimBlanks(TDescriptionLoader::xmlAttr(attributes, QStringLiteral("kind")));
    if (sameText(kind, QStringLiteral("calculated")))
        return TDbAttrKind::Calculated;
    if (sameText(kind, QStringLiteral("lookup")))
        return TDbAttrKind::Lookup;
    return TDbAttrKind::Data;
}

} // namespace

QString TDescriptionLoader::xmlAttr(const TXmlAttributes& attributes, const QString& name) {
    for (const auto& [attrName, value] : attributes) {
        if (attrName == name)
            return value;
    }
    return {};
}

TDbAttribute* TDescriptionLoader::readDbAttr(const TXmlElement& element, TDbAttrCollection& collection) {
    if (element.name != QLatin1String("dbAttr"))
        return nullptr;
    const TXmlAttributes& at = element.attributes;
    // Appended first, so that the element can refer to itself.
    TDbAttribute* attr = collection.addAttribute();
    attr->name = xmlAttr(at, QStringLiteral("name"));
    attr->aliasname = xmlAttr(at, QStringLiteral("aliasname"));
    attr->tableName = xmlAttr(at, QStringLiteral("tableName"));
    attr->nullAllowed = !readFlag(at, "nullAllowed", "false");
    attr->joinType = xmlAttr(at, QStringLiteral("joinType"));
    attr->type = xmlAttr(at, QStringLiteral("type"));
    attr->sname = trimBlanks(xmlAttr(at, QStringLiteral("sname")));
    attr->fname = trimBlanks(xmlAttr(at, QStringLiteral("fname")));
    attr->isPrimary = readFlag(at, "isPrimary", "true");
    attr->size = strToIntDef(xmlAttr(at, QStringLiteral("size")), 0);
    attr->uid = strToInt(xmlAttr(at, QStringLiteral("uid")));
    attr->tableNameToCheck = xmlAttr(at, QStringLiteral("tableNameToCheck"));
    attr->fieldNameToCheck = xmlAttr(at, QStringLiteral("fieldNameToCheck"));
    attr->visible = !readFlag(at, "invisible", "true");
    attr->sortOrder = strToIntDef(xmlAttr(at, QStringLiteral("sortOrder")), 0);
    attr->sortAsc = readFlag(at, "sortType", "ASC");
    attr->LookupKey = xmlAttr(at, QStringLiteral("LookupKey"));
    attr->LookupResult = xmlAttr(at, QStringLiteral("LookupResult"));
    attr->LookupTable = xmlAttr(at, QStringLiteral("LookupTable"));
    attr->KeyFields = xmlAttr(at, QStringLiteral("KeyFields"));
    attr->kind = readKind(at);
    attr->parentAttr = readReference(at, "parentAttr", collection);
    attr->linkPrimary = readReference(at, "linkPrimary", collection);
    attr->joinAttr = readReference(at, "joinAttr", collection);
    return attr;
}

std::unique_ptr<TXMLDBAttributeCollection>
TDescriptionLoader::loadDescription(const QString& fileName, TXmlAttributes* rootAttributes) {
    TXmlDocument document;
    if (!TXmlDocument::read(fileName, document) || !document.rootHasChildNodes)
        return nullptr;
    auto collection = std::make_unique<TXMLDBAttributeCollection>();
    if (rootAttributes)
        *rootAttributes = document.root.attributes;
    collection->orderByText = xmlAttr(document.root.attributes, QStringLiteral("orderBy"));
    if (sameText(xmlAttr(document.root.attributes, QStringLiteral("type")), QStringLiteral("MSUL"))) {
        collection->isMsul = true;
        collection->viewName = xmlAttr(document.root.attributes, QStringLiteral("view"));
    }
    for (const TXmlElement& child : document.children)
        readDbAttr(child, *collection);
    return collection;
}
