#include "TATreeDataCollection.h"

#include "DescriptionLoader.h"
#include "EError.h"
#include "FileLookup.h"
#include "TDbAttrCollection.h"
#include "TIdentObjectList.h"
#include "TMemoryData.h"
#include "TUserInteraction.h"
#include "TextHelpers.h"

#include <QFileInfo>
#include <deque>
#include <unordered_set>

namespace {

// An item of one tree level under the key its children name as their parent.
struct LevelEntry {
    qint32 key;
    TATreeDataCollectionItem* item;
};

using LevelIndex = TIdentObjectList<LevelEntry>;

LevelIndex makeLevelIndex() {
    return LevelIndex([](const LevelEntry* e) { return e->key; });
}

} // namespace

TATreeDataCollection::TATreeDataCollection()
    : m_root(new TATreeDataCollectionItem(this, QString(), -1, nullptr)) {}

TATreeDataCollection::~TATreeDataCollection() = default;

std::size_t TATreeDataCollection::insertPosition(const TATreeDataCollectionItem* parent,
                                                 const QString& caption) const {
    const auto& children = parent->children();
    if (m_sortMode == InsertionOrder)
        return children.size();
    const bool descending = m_sortMode == Descending;
    // The first child whose caption is not smaller (not greater when descending): an equal caption
    // goes before the existing one.
    const auto it =
        std::partition_point(children.begin(), children.end(), [&](const TATreeDataCollectionItem* child) {
            const int c = compareText(child->caption(), caption);
            return descending ? c > 0 : c < 0;
        });
    return std::size_t(it - children.begin());
}

void TATreeDataCollection::place(TATreeDataCollectionItem* item, TATreeDataCollectionItem* parent) {
    if (!parent)
        parent = m_root.get();
    parent->insertChild(item, insertPosition(parent, item->caption()));
}

TATreeDataCollectionItem* TATreeDataCollection::addItem(TATreeDataCollectionItem* parent,
                                                        const QString& caption, qint32 id,
                                                        TDbAttrCollection* attrs) {
    m_items.push_back(
        std::unique_ptr<TATreeDataCollectionItem>(new TATreeDataCollectionItem(this, caption, id, attrs)));
    TATreeDataCollectionItem* item = m_items.back().get();
    place(item, parent);
    return item;
}

TATreeDataCollectionItem* TATreeDataCollection::addItem(TATreeDataCollectionItem* parent,
                                                        const QString& caption,
                                                        std::unique_ptr<TDbAttrCollection> attrs) {
    TATreeDataCollectionItem* item = addItem(parent, caption, -1, attrs.get());
    item->m_ownedAttrs = std::move(attrs);
    return item;
}

void TATreeDataCollection::forget(const std::vector<TATreeDataCollectionItem*>& gone) {
    if (gone.empty())
        return;
    const std::unordered_set<const TATreeDataCollectionItem*> set(gone.begin(), gone.end());
    std::erase_if(m_items, [&set](const auto& item) { return set.count(item.get()) > 0; });
    if (m_items.empty())
        m_root->m_children.clear();
}

void TATreeDataCollection::deleteItem(int index) {
    TATreeDataCollectionItem* item = items(index);
    item->clearChildren();
    if (item->parent())
        item->parent()->removeChild(item);
    forget({item});
}

void TATreeDataCollection::clear() {
    m_root->m_children.clear();
    std::vector<TATreeDataCollectionItem*> all;
    for (const auto& item : m_items)
        all.push_back(item.get());
    forget(all);
}

bool TATreeDataCollection::loadBook(const QString& fileName, bool reportOrphans) {
    const QFileInfo file(resolvePath(fileName));
    if (!file.isFile() || file.size() == 0)
        return false;
    TXmlAttributes rootAttributes;
    std::unique_ptr<TXMLDBAttributeCollection> attrs =
        TDescriptionLoader::loadDescription(fileName, &rootAttributes);
    if (!attrs)
        return false;
    QString caption = TDescriptionLoader::xmlAttr(rootAttributes, QStringLiteral("fname"));
    if (caption.isEmpty())
        caption = TDescriptionLoader::xmlAttr(rootAttributes, QStringLiteral("fName"));
    const bool hierarchical = attrs->isHierarchical();
    attrs->descriptionFile = fileName;
    TATreeDataCollectionItem* book = addItem(nullptr, caption, std::move(attrs));
    return hierarchical ? buildRecords(book, reportOrphans) : true;
}

bool TATreeDataCollection::buildRecords(TATreeDataCollectionItem* bookItem, bool reportOrphans) {
    TDbAttrCollection* attrs = bookItem ? bookItem->attrs() : nullptr;
    if (!attrs)
        return false;
    try {
        attrs->sqlSelect();
    } catch (const std::exception&) {
        return false; // logged by the read itself
    }
    TMemoryData* cache = attrs->records();
    const TField* parentField = cache->findField(QStringLiteral("ParentId"));
    const TField* captionField = cache->findField(QStringLiteral("fName"));
    const TField* entityField = attrs->isMsul ? cache->findField(QStringLiteral("ENTITY_ID")) : nullptr;
    auto rowValue = [cache](int recNo, const TField* field) {
        return field ? cache->valueAt(recNo, field) : QVariant();
    };

    std::vector<TRecordIndexEntry> pending = attrs->copyRecordIndex();
    std::vector<bool> placed;
    std::deque<LevelEntry> thisLevelEntries;
    LevelIndex previousLevel = makeLevelIndex();
    LevelIndex thisLevel = makeLevelIndex();

    auto placeEntry = [&](std::size_t k, TATreeDataCollectionItem* parent) {
        const TRecordIndexEntry& entry = pending[k];
        TATreeDataCollectionItem* item =
            addItem(parent, rowValue(entry.recNo, captionField).toString(), entry.id, attrs);
        const qint32 key = attrs->isMsul ? rowValue(entry.recNo, entityField).toInt() : entry.id;
        thisLevelEntries.push_back({key, item});
        placed[k] = true;
    };
    // Entries placed in a pass leave pending in one sweep, so that a pass costs no shifting.
    auto finishPass = [&](std::deque<LevelEntry>& levelStore) {
        std::size_t kept = 0;
        for (std::size_t k = 0; k < pending.size(); ++k) {
            if (!placed[k])
                pending[kept++] = pending[k];
        }
        const bool progress = kept < pending.size();
        pending.resize(kept);
        levelStore = std::move(thisLevelEntries);
        thisLevelEntries.clear();
        std::vector<LevelEntry*> entries;
        for (LevelEntry& e : levelStore)
            entries.push_back(&e);
        thisLevel.clear();
        thisLevel.addAll(entries);
        return progress;
    };

    std::deque<LevelEntry> thisLevelStore;
    std::deque<LevelEntry> previousLevelStore;
    placed.assign(pending.size(), false);
    for (std::size_t k = pending.size(); k-- > 0;) {
        if (!rowValue(pending[k].recNo, parentField).isValid())
            placeEntry(k, bookItem);
    }
    bool progress = finishPass(thisLevelStore);
    while (!pending.empty() && progress) {
        std::swap(previousLevel, thisLevel);
        std::swap(previousLevelStore, thisLevelStore);
        const LevelEntry* lastParent = nullptr;
        placed.assign(pending.size(), false);
        for (std::size_t k = pending.size(); k-- > 0;) {
            const qint32 v = rowValue(pending[k].recNo, parentField).toInt();
            if (lastParent && lastParent->key == v) {
                placeEntry(k, lastParent->item);
                continue;
            }
            const int found = previousLevel.find(v);
            if (found >= 0) {
                lastParent = previousLevel.item(found);
                placeEntry(k, lastParent->item);
            }
        }
        progress = finishPass(thisLevelStore);
        previousLevel.clear();
        previousLevelStore.clear();
    }
    if (pending.empty())
        return true;
    if (reportOrphans) {
        QString text = QStringLiteral(
            "Ошибка при постраении древовидного справочника, не найдены вышестоящие уровни для "
            "следующих записей:");
        for (const TRecordIndexEntry& entry : pending)
            text += QStringLiteral("\r\n%1, \"").arg(entry.recNo) +
                    rowValue(entry.recNo, captionField).toString() + QStringLiteral("\";");
        text.chop(1);
        text += QLatin1Char('.');
        TUserInteraction::instance().showErrors(text);
    }
    return false;
}

int TATreeDataCollection::indexOfId(qint32 id) const {
    for (int i = count() - 1; i >= 0; --i) {
        if (m_items[std::size_t(i)]->id() == id)
            return i;
    }
    return -1;
}

TATreeDataCollectionItem* TATreeDataCollection::itemById(qint32 id) const {
    const int i = indexOfId(id);
    return i < 0 ? nullptr : items(i);
}

QStringList TATreeDataCollection::pathCaptions(qint32 id) const {
    const TATreeDataCollectionItem* top = m_root->firstChild();
    QStringList captions;
    for (const TATreeDataCollectionItem* p = itemById(id); p; p = p->parent()) {
        if (p == top)
            return captions;
        captions.prepend(p->caption());
    }
    return {};
}

void TATreeDataCollection::fillTreeView(TATreeDataCollectionItem* item, TTreeNodeSink& sink,
                                        TTreeNodeSink::Node parentNode, bool skipSelf) const {
    if (!item)
        return;
    TTreeNodeSink::Node node = parentNode;
    if (!skipSelf)
        node = sink.addNode(parentNode, item->caption(), item);
    for (TATreeDataCollectionItem* child : item->children())
        fillTreeView(child, sink, node, false);
}
