#pragma once

#include "TDbAttribute.h"
#include "TIdentObjectList.h"
#include "TRecordIndexEntry.h"

#include <QString>
#include <QStringList>
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
    // The file the description was read from: a book's file is not always named after its main
    // table (the departments' view), so whatever reads the book again reads this file.
    QString descriptionFile;

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

    // ---- the book's SQL, through the single data-access instance ----
    void buildSelect();
    QString sqlSelectWhere(const QString& condition);
    // Reads the whole book into the record cache and rebuilds the index.
    void sqlSelect();
    // False, after one message, when a required field of record's current row is null.
    bool checkRequired(TMemoryData& record) const;
    // Write the current row of record (fields named like the SELECT's columns). Without a key or
    // writable columns they abort silently.
    void sqlInsert(TMemoryData& record);
    void sqlUpdate(TMemoryData& record);
    void sqlDeleteById(const QString& fieldName, qint32 id);
    void sqlDelete(TMemoryData& record);
    static QString lookupSelect(const TDbAttribute& attribute);

private:
    QStringList writeLines(TMemoryData& record) const;

    std::vector<std::unique_ptr<TDbAttribute>> m_items;
    std::unique_ptr<TMemoryData> m_records;
};
