#include "TXmlDocument.h"

#include "EXmlError.h"
#include "FileLookup.h"
#include "OrtaUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <libxml/parser.h>
#include <libxml/valid.h>
#include <libxml/xmlerror.h>
#include <memory>

namespace {

// Collects what libxml2 reports while one file is read, instead of printing it.
class XmlErrorCollector {
public:
    XmlErrorCollector() { xmlSetStructuredErrorFunc(this, &XmlErrorCollector::collect); }
    ~XmlErrorCollector() { xmlSetStructuredErrorFunc(nullptr, nullptr); }
    XmlErrorCollector(const XmlErrorCollector&) = delete;
    XmlErrorCollector& operator=(const XmlErrorCollector&) = delete;

    [[noreturn]] void raise(const QString& fallback) const {
        throw EXmlError(m_messages.isEmpty() ? fallback : m_messages.join(QLatin1Char('\n')));
    }

private:
    static void collect(void* self, xmlErrorPtr error) {
        if (!error || error->level == XML_ERR_WARNING)
            return;
        QString message = QString::fromUtf8(error->message).trimmed();
        if (error->file)
            message =
                QStringLiteral("%1:%2: %3").arg(QString::fromUtf8(error->file)).arg(error->line).arg(message);
        static_cast<XmlErrorCollector*>(self)->m_messages << message;
    }

    QStringList m_messages;
};

// External entities and DTDs a document names are read only from its own folder or the
// installation folder: a description must not make the program read any other local file.
class EntityFence {
public:
    explicit EntityFence(const QString& documentPath) {
        s_allowed = {QFileInfo(documentPath).absoluteDir().canonicalPath()};
        s_refused.clear();
        const QString installation = QDir(resolvePath(installPath())).canonicalPath();
        if (!installation.isEmpty() && installPath().size() > 0)
            s_allowed << installation;
        m_previous = xmlGetExternalEntityLoader();
        s_default = m_previous;
        xmlSetExternalEntityLoader(&EntityFence::load);
    }
    ~EntityFence() { xmlSetExternalEntityLoader(m_previous); }
    EntityFence(const EntityFence&) = delete;
    EntityFence& operator=(const EntityFence&) = delete;

private:
    static xmlParserInputPtr load(const char* url, const char* id, xmlParserCtxtPtr context) {
        const QString requested = QString::fromUtf8(url ? url : "");
        const QString path =
            QFileInfo(requested.startsWith(QLatin1String("file://")) ? requested.mid(7) : requested)
                .canonicalFilePath();
        for (const QString& root : s_allowed) {
            if (!path.isEmpty() && !root.isEmpty() && path.startsWith(root + QLatin1Char('/')))
                return s_default(url, id, context);
        }
        s_refused << requested;
        return nullptr;
    }

public:
    // What the document named and was not given.
    const QStringList& refused() const { return s_refused; }

private:
    static inline QStringList s_allowed;
    static inline QStringList s_refused;
    static inline xmlExternalEntityLoader s_default = nullptr;
    xmlExternalEntityLoader m_previous;
};

struct DocumentDeleter {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

QString fromXml(const xmlChar* text) {
    return text ? QString::fromUtf8(reinterpret_cast<const char*>(text)) : QString();
}

bool isBlankText(const xmlNode* node) {
    return (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) && xmlIsBlankNode(node);
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

} // namespace

bool TXmlDocument::read(const QString& fileName, TXmlDocument& document) {
    const QString path = resolvePath(fileName);
    if (!QFileInfo(path).isFile())
        return false;
    XmlErrorCollector errors;
    const EntityFence fence(path);
    const QByteArray nativePath = QFile::encodeName(path);
    // The parser substitutes entities itself, under its limits on amplification; a declared DTD
    // also gives its default attribute values.
    std::unique_ptr<xmlDoc, DocumentDeleter> doc(xmlReadFile(
        nativePath.constData(), nullptr,
        XML_PARSE_NOBLANKS | XML_PARSE_DTDLOAD | XML_PARSE_DTDATTR | XML_PARSE_NOENT | XML_PARSE_NONET));
    if (!fence.refused().isEmpty())
        throw EXmlError(QStringLiteral("%1: файл %2 вне папки описания и папки программы не читается")
                            .arg(path, fence.refused().first()));
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
    if (!root)
        return false;
    document.root = toElement(doc.get(), root);
    document.children.clear();
    document.rootHasChildNodes = false;
    for (const xmlNode* child = root->children; child; child = child->next) {
        if (!isBlankText(child))
            document.rootHasChildNodes = true;
        if (child->type == XML_ELEMENT_NODE)
            document.children.push_back(toElement(doc.get(), child));
    }
    return true;
}
