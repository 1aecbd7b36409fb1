#pragma once

#include "TDbAttribute.h"
#include "TIdentObjectList.h"
#include "TRecordIndexEntry.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class TMemoryData;

// The description of one reference book: its attributes in file order (the column order of the
// SELECT and of grids), and a cached copy of the book's rows for the tree of records.
class TDbAttrCollection {
public:
    TDbAttrCollection();
    virtual ~TDbAttrCollection();
    TDbAttrCollection(const TDbAttrCollection&) = delete;
    TDbAttrCollection& operator=(const TDbAttrCollection&) = delete;

    QString selectSQL;
    QString orderByText;
    bool isMsul = false;
    QString viewName;
    std::vector<TRecordIndexEntry> recordIndex;
    TIdentObjectList<const TRecordIndexEntry> idIndex;
    // Registry name of the specialised editor the main window opens for this book; empty = generic.
    QString EditorClass;

    int count() const { return int(m_items.size()); }
    TDbAttribute* items(int i) const { return m_items.at(std::size_t(i)).get(); }
    TDbAttribute* addAttribute();

    QString mainTableName() const;
    TDbAttribute* keyAttribute() const;
    QString keyFieldName() const;
    bool hasAttribute(const QString& name) const;
    TDbAttribute* findAttribute(const QString& table, const QString& name) const;
    TDbAttribute* attributeByUid(qint32 uid) const;
    std::vector<TDbAttribute*> writableAttributes() const;
    std::vector<int> gridAttributeIndexes() const;
    bool isHierarchical() const { return hasAttribute(QStringLiteral("parentId")); }

    // The record cache; records() is null until the first read of the book.
    TMemoryData* records() const { return m_records.get(); }
    TMemoryData& ensureRecords();
    QVariant cachedValue(const QString& fieldName, int recNo) const;
    int recNoById(qint32 id) const;
    std::vector<TRecordIndexEntry> copyRecordIndex() const { return recordIndex; }
    void rebuildIndex();
    enum class TSyncAction { Edit = 0, Append = 1, Delete = 2 };
    void syncCache(qint32 id, TMemoryData& record, TSyncAction action);

private:
    std::vector<std::unique_ptr<TDbAttribute>> m_items;
    std::unique_ptr<TMemoryData> m_records;
};
