#pragma once

#include "TDataSetEvents.h"
#include "TField.h"
#include "TRecordWriter.h"
#include "TRowStore.h"

#include <QObject>
#include <QVariantList>
#include <memory>
#include <optional>
#include <vector>

struct TLocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false;
};

// The in-memory record set the whole program shares: grids, editors, the description's record cache and
// query results. Rows are numbered from 1. Changing the structure needs a closed record set; closing
// discards the rows. While display updates are suspended (disableControls) views are told nothing
// and receive one reset when updates resume.
class TMemoryData : public QObject {
    Q_OBJECT

public:
    explicit TMemoryData(QObject* parent = nullptr);
    ~TMemoryData() override;

    // Structure
    TField* addField(const QString& name, TFieldType type, int size = 0, TFieldKind kind = TFieldKind::Data);
    void removeField(TField* field);
    // Turns a field of a closed record set into a calculated or lookup field, keeping its place.
    void setFieldKind(TField* field, TFieldKind kind);
    // Gives a field of a closed record set another type (a description's "bit" read as a number).
    void setFieldType(TField* field, TFieldType type);
    void clearFields();
    int fieldCount() const { return int(m_fields.size()); }
    TField* field(int i) const { return m_fields.at(std::size_t(i)).get(); }
    // Case-insensitive; findField gives nullptr, fieldByName raises EDataSetError.
    TField* findField(const QString& name) const;
    TField* fieldByName(const QString& name) const;

    // Lifecycle
    void open();
    void close();
    bool active() const { return m_state != TDataSetState::Inactive; }
    TDataSetState state() const { return m_state; }
    bool isEditing() const { return m_state == TDataSetState::Edit || m_state == TDataSetState::Insert; }
    // Removes every row, keeps the fields.
    void emptyTable();

    // Navigation; moves post a pending edit first and raise the scroll notifications.
    int recordCount() const { return int(m_view.size()); }
    int recNo() const { return m_current + 1; }
    void setRecNo(int recNo);
    void first();
    void last();
    void next();
    void prior();
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    bool isEmpty() const { return m_view.empty(); }
    bool locate(const QString& keyFields, const QVariantList& values, TLocateOptions options = {});
    bool locate(const QString& keyField, const QVariant& value, TLocateOptions options = {}) {
        return locate(keyField, QVariantList{value}, options);
    }
    // The value of resultField in the first row matching, without moving; null when none matches.
    QVariant lookup(const QString& keyFields, const QVariantList& values, const QString& resultField);

    // Editing
    void append();
    void insert();
    void edit();
    void post();
    void cancel();
    void deleteRecord();
    // Controls with an edit of their own still open (a grid's cell editor) register here, so that
    // what they hold is written into the record before it is posted. An updater raises EAbort when
    // the value it holds is refused (the control has said why).
    void addRecordUpdater(const QObject* owner, std::function<void()> update);
    void removeRecordUpdaters(const QObject* owner);
    void updateRecord();
    // Removes, in one sweep and without notifications, every row whose 1-based number keep rejects.
    void removeRows(const std::function<bool(int recNo)>& keep);
    // Appends a row with values for the data fields in field order, as append + assignments + post.
    void appendRecord(const QVariantList& values);
    // Appends records at the end until fill returns false; fill writes one record's data fields
    // through the writer. When nothing listens to inserts, posts or scrolling the records go straight
    // into the store, without an edit state each (big results); otherwise as appendRecord each.
    void appendRecords(const std::function<bool(TRecordWriter&)>& fill);
    // Handlers that appendRecords must call for each record (inserts, posts, scrolling). Controls'
    // record updaters are not among them: a loaded record was never edited in a control.
    bool hasRecordListeners() const;

    // The value a data field had when the edit of the current record began; its current value
    // outside an edit. setOldValue moves that starting point (the stored record read again), and
    // a cancel returns to it.
    QVariant oldValue(const TField* field);
    void setOldValue(const TField* field, const QVariant& value);

    // Reading any row without moving (views, sorting, filters).
    QVariant valueAt(int recNo, const TField* field);

    // Display updates
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disableCount > 0; }

    // Record filter: while filtered, rows the filter rejects are not part of the record set. The
    // filter reads the row through the fields. refilter() applies it again after its inputs changed.
    void setFilter(std::function<bool(TMemoryData&)> filter);
    void setFiltered(bool filtered);
    bool filtered() const { return m_filtered; }
    void refilter();

    // In-memory sort order such as "NAME,CODE DESC"; empty = the order rows were added in.
    // byCompareText: texts in the program's CompareText order (grids), else case-insensitively.
    void setSortOrder(const QString& order, bool byCompareText = false);
    const QString& sortOrder() const { return m_sortOrder; }

    // Calculated fields are computed on demand; this forgets every computed value.
    void recalculate();

    TDataSetEvents& events() { return m_events; }
    void setEvents(TDataSetEvents events) { m_events = std::move(events); }
    TDataSetEvents takeEvents() { return std::exchange(m_events, {}); }

    // Grows with every change of data or structure; lookup caches compare it.
    quint64 changeCount() const { return m_changeCount; }

Q_SIGNALS:
    void structureChanged();
    void dataReset();
    void rowChanged(int recNo);
    void rowAboutToBeInserted(int recNo);
    void rowInserted(int recNo);
    void rowAboutToBeRemoved(int recNo);
    void rowRemoved(int recNo);
    void currentChanged(int recNo);
    void stateChanged();
    void focusControlRequested(TField* field);

private:
    friend class TField;
    using Row = TRowStore::Row;

    QVariant activeValue(const TField* field);
    void setActiveValue(TField* field, const QVariant& value);
    Row* activeRow() const;
    QVariant rowValue(Row* row, const TField* field);
    QVariant lookupValue(Row* row, const TField* field);
    void ensureCalculated(Row* row);

    void checkActive() const;
    void checkInactive() const;
    void checkBrowseMode();
    void beginInsertAppend();
    void insertRow(int viewIndex);
    void removeViewRow(int viewIndex);
    void moveTo(int viewIndex);
    void rebuildView();
    int findRow(const QStringList& fields, const QVariantList& values, TLocateOptions options);
    std::vector<TField*> fieldList(const QString& names) const;
    void setState(TDataSetState state);
    void touched();
    void fire(const TDataSetNotify& handler);
    bool notifying() const { return m_disableCount == 0; }

    // Texts of text fields without a copy (sorting, locating); the field's value is computed first.
    QStringView rowText(Row* row, const TField* field);
    int compareRows(Row* a, Row* b, TField* field);
    std::vector<TField*> dataFields() const;

    std::vector<std::unique_ptr<TField>> m_fields;
    Row* newRow();
    void releaseRow(Row* row);
    void clearRows();

    std::unique_ptr<TRowStore> m_rowStore; // made with the first record, for the fields of that time
    std::vector<Row*> m_rows;
    std::vector<Row*> m_view;
    int m_current = -1;
    bool m_bof = true;
    bool m_eof = true;
    TDataSetState m_state = TDataSetState::Inactive;
    std::optional<std::vector<QVariant>> m_editBackup; // the record's values before the edit
    Row* m_override = nullptr;
    bool m_calculating = false;
    int m_disableCount = 0;
    bool m_resetPending = false;
    std::function<bool(TMemoryData&)> m_filter;
    bool m_filtered = false;
    QString m_sortOrder;
    std::vector<std::pair<TField*, bool>> m_sortFields;
    bool m_sortByCompareText = false;
    TDataSetEvents m_events;
    quint64 m_changeCount = 0;
    std::vector<std::pair<const QObject*, std::function<void()>>> m_recordUpdaters;
};

// The main window's record set keeps its historical class name; moving by record number raises the
// scroll notifications like any other move.
using TMyRxMemoryData = TMemoryData;
