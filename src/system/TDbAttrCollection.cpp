#include "TDbAttrCollection.h"

#include "RecordCopy.h"
#include "TMemoryData.h"
#include "TextHelpers.h"

TDbAttrCollection::TDbAttrCollection() : idIndex([](const TRecordIndexEntry* entry) { return entry->id; }) {}

TDbAttrCollection::~TDbAttrCollection() = default;

TDbAttribute* TDbAttrCollection::addAttribute() {
    m_items.push_back(std::make_unique<TDbAttribute>());
    return m_items.back().get();
}

QString TDbAttrCollection::mainTableName() const {
    for (const auto& a : m_items) {
        if (a->isPrimary && !a->joinAttr && (!a->linkPrimary || !a->linkPrimary->joinAttr))
            return a->tableName;
    }
    return {};
}

TDbAttribute* TDbAttrCollection::keyAttribute() const {
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
        if ((*it)->isPrimary && !(*it)->joinAttr)
            return it->get();
    }
    return nullptr;
}

QString TDbAttrCollection::keyFieldName() const {
    const TDbAttribute* key = keyAttribute();
    return key ? key->name : QString();
}

bool TDbAttrCollection::hasAttribute(const QString& name) const {
    for (const auto& a : m_items) {
        if (sameText(a->name, name))
            return true;
    }
    return false;
}

TDbAttribute* TDbAttrCollection::findAttribute(const QString& table, const QString& name) const {
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
        if (sameText((*it)->name, name) && sameText((*it)->tableName, table))
            return it->get();
    }
    return nullptr;
}

TDbAttribute* TDbAttrCollection::attributeByUid(qint32 uid) const {
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
        if ((*it)->uid == uid)
            return it->get();
    }
    return nullptr;
}

std::vector<TDbAttribute*> TDbAttrCollection::writableAttributes() const {
    std::vector<TDbAttribute*> result;
    for (const auto& a : m_items) {
        if (!a->joinAttr && a->linkPrimary && a->kind == TDbAttrKind::Data && !a->linkPrimary->joinAttr)
            result.push_back(a.get());
    }
    return result;
}

std::vector<int> TDbAttrCollection::gridAttributeIndexes() const {
    std::vector<int> result;
    for (int i = 0; i < count(); ++i) {
        const TDbAttribute* a = items(i);
        if (a->visible && !a->isIntegerKey() && !sameText(a->name, QStringLiteral("parentId")))
            result.push_back(i);
    }
    return result;
}

TMemoryData& TDbAttrCollection::ensureRecords() {
    if (!m_records)
        m_records = std::make_unique<TMemoryData>();
    return *m_records;
}

QVariant TDbAttrCollection::cachedValue(const QString& fieldName, int recNo) const {
    if (!m_records || !m_records->active() || recNo < 1 || recNo > m_records->recordCount())
        return {};
    const TField* field = m_records->findField(fieldName);
    if (!field)
        return {};
    m_records->setRecNo(recNo);
    return field->value();
}

int TDbAttrCollection::recNoById(qint32 id) const {
    const int i = idIndex.find(id);
    return i < 0 ? -1 : idIndex.item(i)->recNo;
}

void TDbAttrCollection::rebuildIndex() {
    const int rows = m_records && m_records->active() ? m_records->recordCount() : 0;
    idIndex.clear();
    // idIndex points into recordIndex: size it once, before any entry is referenced.
    recordIndex.assign(std::size_t(rows), TRecordIndexEntry{});
    if (rows == 0)
        return;
    const TField* key = m_records->fieldByName(keyFieldName());
    std::vector<const TRecordIndexEntry*> entries;
    entries.reserve(std::size_t(rows));
    for (int i = 1; i <= rows; ++i) {
        const QVariant v = m_records->valueAt(i, key);
        TRecordIndexEntry& entry = recordIndex[std::size_t(i - 1)];
        entry.recNo = i;
        entry.id = v.isValid() ? v.toInt() : 0;
        entries.push_back(&entry);
    }
    idIndex.addAll(entries);
}

void TDbAttrCollection::syncCache(qint32 id, TMemoryData& record, TSyncAction action) {
    if (!m_records || !m_records->active())
        return;
    switch (action) {
    case TSyncAction::Edit: {
        const int recNo = recNoById(id);
        if (recNo < 0)
            return;
        m_records->setRecNo(recNo);
        m_records->edit();
        copyFields(*m_records, record);
        m_records->post();
        break;
    }
    case TSyncAction::Append:
        m_records->append();
        copyFields(*m_records, record);
        m_records->post();
        break;
    case TSyncAction::Delete: {
        const int recNo = recNoById(id);
        if (recNo < 0)
            return;
        m_records->setRecNo(recNo);
        m_records->deleteRecord();
        break;
    }
    }
    rebuildIndex();
}
