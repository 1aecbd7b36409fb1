#pragma once

#include "TATreeDataCollectionItem.h"
#include "TTreeNodeSink.h"

#include <QStringList>
#include <memory>
#include <vector>

class TDbAttrCollection;

// The model behind every book tree: the catalogue (one top-level item per book, records of
// hierarchical books below) and the small trees editors build of one book.
class TATreeDataCollection {
public:
    enum SortMode { Ascending = 0, Descending = 1, InsertionOrder = 2 };

    TATreeDataCollection();
    ~TATreeDataCollection();
    TATreeDataCollection(const TATreeDataCollection&) = delete;
    TATreeDataCollection& operator=(const TATreeDataCollection&) = delete;

    TATreeDataCollectionItem* root() const { return m_root.get(); }
    int sortMode() const { return m_sortMode; }
    void setSortMode(int mode) { m_sortMode = mode; }
    int count() const { return int(m_items.size()); }
    TATreeDataCollectionItem* items(int i) const { return m_items.at(std::size_t(i)).get(); }

    // A record item (parent null = top level) referring to the book's description.
    TATreeDataCollectionItem* addItem(TATreeDataCollectionItem* parent, const QString& caption, qint32 id,
                                      TDbAttrCollection* attrs);
    // A book item (id -1): it owns the description.
    TATreeDataCollectionItem* addItem(TATreeDataCollectionItem* parent, const QString& caption,
                                      std::unique_ptr<TDbAttrCollection> attrs);
    // Destroys the item at index with its descendants.
    void deleteItem(int index);
    void clear();

    // False for a missing or empty file; a hierarchical book's records go below its item.
    bool loadBook(const QString& fileName, bool reportOrphans);
    // Reads the book's rows and places them level by level under bookItem. False when the read fails
    // or records are left without a place (reported through the error list when asked).
    bool buildRecords(TATreeDataCollectionItem* bookItem, bool reportOrphans);

    int indexOfId(qint32 id) const;
    TATreeDataCollectionItem* itemById(qint32 id) const;
    // The record's path of captions below the collection's first top-level item.
    QStringList pathCaptions(qint32 id) const;
    void fillTreeView(TATreeDataCollectionItem* item, TTreeNodeSink& sink, TTreeNodeSink::Node parentNode,
                      bool skipSelf) const;

private:
    friend class TATreeDataCollectionItem;
    std::size_t insertPosition(const TATreeDataCollectionItem* parent, const QString& caption) const;
    void place(TATreeDataCollectionItem* item, TATreeDataCollectionItem* parent);
    // Removes the given items (and nothing else) from the member list.
    void forget(const std::vector<TATreeDataCollectionItem*>& gone);

    std::unique_ptr<TATreeDataCollectionItem> m_root;
    std::vector<std::unique_ptr<TATreeDataCollectionItem>> m_items;
    int m_sortMode = InsertionOrder;
};
