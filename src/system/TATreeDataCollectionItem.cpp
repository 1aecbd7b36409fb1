#include "TATreeDataCollectionItem.h"

#include "TATreeDataCollection.h"
#include "TDbAttrCollection.h"

#include <algorithm>

TATreeDataCollectionItem::TATreeDataCollectionItem(TATreeDataCollection* collection, const QString& caption,
                                                   qint32 id, TDbAttrCollection* attrs)
    : m_collection(collection), m_attrs(attrs), m_id(id), m_caption(caption) {}

TATreeDataCollectionItem::~TATreeDataCollectionItem() = default;

QVariant TATreeDataCollectionItem::fieldValue(const QString& fieldName) const {
    if (!m_attrs)
        return {};
    return m_attrs->cachedValue(fieldName, m_attrs->recNoById(m_id));
}

void TATreeDataCollectionItem::setCaption(const QString& text) {
    m_caption = text;
    if (m_collection->sortMode() == TATreeDataCollection::InsertionOrder || !m_parent)
        return;
    TATreeDataCollectionItem* parent = m_parent;
    parent->removeChild(this);
    parent->insertChild(this, m_collection->insertPosition(parent, m_caption));
}

QString TATreeDataCollectionItem::pathText(bool withTop) const {
    QString text = m_caption;
    const TATreeDataCollectionItem* root = m_collection->root();
    for (const TATreeDataCollectionItem* p = m_parent; p && p != root; p = p->m_parent) {
        if (!withTop && p->m_parent == root)
            break;
        text = p->m_caption + QStringLiteral(" - ") + text;
    }
    return text;
}

bool TATreeDataCollectionItem::isUnder(const TATreeDataCollectionItem* other) const {
    if (!other)
        return true;
    for (const TATreeDataCollectionItem* p = m_parent; p; p = p->m_parent) {
        if (p == other)
            return true;
    }
    return false;
}

void TATreeDataCollectionItem::clearChildren() {
    std::vector<TATreeDataCollectionItem*> gone;
    std::vector<TATreeDataCollectionItem*> stack(m_children.begin(), m_children.end());
    while (!stack.empty()) {
        TATreeDataCollectionItem* item = stack.back();
        stack.pop_back();
        gone.push_back(item);
        stack.insert(stack.end(), item->m_children.begin(), item->m_children.end());
    }
    m_children.clear();
    m_collection->forget(gone);
}

int TATreeDataCollectionItem::indexInParent() const {
    if (!m_parent)
        return -1;
    const auto& siblings = m_parent->m_children;
    const auto it = std::find(siblings.begin(), siblings.end(), this);
    return it == siblings.end() ? -1 : int(it - siblings.begin());
}

void TATreeDataCollectionItem::insertChild(TATreeDataCollectionItem* child, std::size_t position) {
    position = std::min(position, m_children.size());
    m_children.insert(m_children.begin() + std::ptrdiff_t(position), child);
    child->m_parent = this;
    if (position > 0)
        m_children[position - 1]->m_nextSibling = child;
    child->m_nextSibling = position + 1 < m_children.size() ? m_children[position + 1] : nullptr;
}

void TATreeDataCollectionItem::removeChild(TATreeDataCollectionItem* child) {
    const auto it = std::find(m_children.begin(), m_children.end(), child);
    if (it == m_children.end())
        return;
    const std::size_t i = std::size_t(it - m_children.begin());
    m_children.erase(it);
    if (i > 0)
        m_children[i - 1]->m_nextSibling = i < m_children.size() ? m_children[i] : nullptr;
    child->m_nextSibling = nullptr;
}
