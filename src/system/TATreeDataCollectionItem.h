#pragma once

#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class TATreeDataCollection;
class TDbAttrCollection;

// One node of a book tree: a book (id -1, owning the book's description) or one of its records.
class TATreeDataCollectionItem {
public:
    ~TATreeDataCollectionItem();
    TATreeDataCollectionItem(const TATreeDataCollectionItem&) = delete;
    TATreeDataCollectionItem& operator=(const TATreeDataCollectionItem&) = delete;

    const std::vector<TATreeDataCollectionItem*>& children() const { return m_children; }
    TATreeDataCollectionItem* parent() const { return m_parent; }
    TATreeDataCollectionItem* nextSibling() const { return m_nextSibling; }
    TATreeDataCollectionItem* firstChild() const { return m_children.empty() ? nullptr : m_children.front(); }
    TDbAttrCollection* attrs() const { return m_attrs; }
    qint32 id() const { return m_id; }
    const QString& caption() const { return m_caption; }
    TATreeDataCollection* collection() const { return m_collection; }

    // The record's value of fieldName from the book's cache; null when the record is not cached.
    QVariant fieldValue(const QString& fieldName) const;
    // A versioned record's item follows its newest version: the key changes with every save.
    void setId(qint32 id) { m_id = id; }
    // Changes the caption and, in a sorted collection, moves the item to its new place.
    void setCaption(const QString& text);
    // The captions from the item up, joined by " - "; the top-level item only withTop.
    QString pathText(bool withTop) const;
    // True when other is null or a proper ancestor.
    bool isUnder(const TATreeDataCollectionItem* other) const;
    // Destroys all descendants.
    void clearChildren();
    // Position among the parent's children.
    int indexInParent() const;

private:
    friend class TATreeDataCollection;
    TATreeDataCollectionItem(TATreeDataCollection* collection, const QString& caption, qint32 id,
                             TDbAttrCollection* attrs);

    void insertChild(TATreeDataCollectionItem* child, std::size_t position);
    void removeChild(TATreeDataCollectionItem* child);

    TATreeDataCollection* m_collection;
    std::vector<TATreeDataCollectionItem*> m_children;
    TATreeDataCollectionItem* m_parent = nullptr;
    TATreeDataCollectionItem* m_nextSibling = nullptr;
    TDbAttrCollection* m_attrs;
    std::unique_ptr<TDbAttrCollection> m_ownedAttrs;
    qint32 m_id;
    QString m_caption;
};
