#include "DescriptionLoader.h"

#include "EXmlError.h"
#include "FileLookup.h"
#include "TextHelpers.h"

#include <QFileInfo>
#include <QStringList>
#include <libxml/parser.h>
#include <libxml/valid.h>
#include <libxml/xmlerror.h>

namespace {

// Collects what libxml2 reports while one file is read, instead of printing it.
class XmlErrorCollector {
public:
    XmlErrorCollector() { xmlSetStructuredErrorFunc(this, &XmlErrorCollector::collect); }
    ~XmlErrorCollector() { xmlSetStructuredErrorFunc(nullptr, nullptr); }
    XmlErrorCollector(const XmlErrorCollector&) = delete;
    XmlErrorCollector& operator=(const XmlErrorCollector&) = delete;

    bool hasErrors() const { return !m_messages.isEmpty(); }
    QString text() const { return m_messages.join(QLatin1Char('\n')); }
    void raise(const QString& fallback) const { throw EXmlError(hasErrors() ? text() : fallback); }

private:
    static void collect(void* self, xmlErrorPtr error) {
        if (!error || error->level == XML_ERR_WARNING)
            return;
        auto* collector = static_cast<XmlErrorCollector*>(self);
        QString message = QString::fromUtf8(error->message).trimmed();
        if (error->file)
            message =
                QStringLiteral("%1:%2: %3").arg(QString::fromUtf8(error->file)).arg(error->line).arg(message);
        collector->m_messages << message;
    }

    QStringList m_messages;
};

struct DocumentDeleter {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using DocumentPtr = std::unique_ptr<xmlDoc, DocumentDeleter>;

QString fromXml(const xmlChar* text) {
    return text ? QString::fromUtf8(reinterpret_cast<const char*>(text)) : QString();
}

bool isBlankText(const xmlNode* node) {
    return (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) && xmlIsBlankNode(node);
}

bool hasChildNodes(const xmlNode* element) {
    for (const xmlNode* child = element->children; child; child = child->next) {
        if (!isBlankText(child))
            return true;
    }
    return false;
}

TXmlElement toElement(xmlDoc* doc, const xmlNode* node) {
    TXmlElement element;
    element.name = fromXml(node->name);
    for (const _xmlAttr* a = node->properties; a; a = a->next) {
        xmlChar* value = xmlNodeListGetString(doc, a->children, 1);
        element.attributes.append({fromXml(a->name), fromXml(value)});
        xmlFree(value);
    }
    return element;
}

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
    const QString path = resolvePath(fileName);
    if (!QFileInfo(path).isFile())
        return nullptr;

    XmlErrorCollector errors;
    const QByteArray nativePath = QFile::encodeName(path);
    DocumentPtr doc(xmlReadFile(nativePath.constData(), nullptr,
                                XML_PARSE_NOBLANKS | XML_PARSE_DTDLOAD | XML_PARSE_NONET));
    if (!doc)
        errors.raise(QStringLiteral("%1: документ XML не разобран").arg(path));
    if (doc->intSubset || doc->extSubset) {
        xmlValidCtxtPtr validation = xmlNewValidCtxt();
        const int valid = xmlValidateDocument(validation, doc.get());
        xmlFreeValidCtxt(validation);
        if (!valid)
            errors.raise(QStringLiteral("%1: документ не соответствует своему DTD").arg(path));
    }

    const xmlNode* root = xmlDocGetRootElement(doc.get());
    if (!root || !hasChildNodes(root))
        return nullptr;

    auto collection = std::make_unique<TXMLDBAttributeCollection>();
    const TXmlElement rootElement = toElement(doc.get(), root);
    if (rootAttributes)
        *rootAttributes = rootElement.attributes;
    collection->orderByText = xmlAttr(rootElement.attributes, QStringLiteral("orderBy"));
    if (sameText(xmlAttr(rootElement.attributes, QStringLiteral("type")), QStringLiteral("MSUL"))) {
        collection->isMsul = true;
        collection->viewName = xmlAttr(rootElement.attributes, QStringLiteral("view"));
    }
    for (const xmlNode* child = root->children; child; child = child->next) {
        if (child->type == XML_ELEMENT_NODE)
            readDbAttr(toElement(doc.get(), child), *collection);
    }
    return collection;
}
