#include "TMemoryData.h"

#include "TextHelpers.h"

#include "EDataSetError.h"
#include "EError.h"

#include <algorithm>
#include <memory>
#include <unordered_set>

// A record: its values lie right behind it, in one piece of the record set's store.
struct TMemoryData::Row {
    QVariant* values;
    int count;
    bool calculated = false;
};

void TMemoryData::RowRelease::operator()(Row* row) const {
    std::destroy_n(row->values, row->count);
    store->give(row);
}

TMemoryData::RowPtr TMemoryData::newRow() {
    const auto count = int(m_fields.size());
    constexpr std::size_t header =
        (sizeof(Row) + alignof(QVariant) - 1) / alignof(QVariant) * alignof(QVariant);
    const std::size_t size = header + std::size_t(count) * sizeof(QVariant);
    if (!m_rowStore || m_rowStore->pieceSize() < size) {
        if (!m_rows.empty())
            throw EDataSetError(
                QStringLiteral("%1: структура набора данных изменена при открытом наборе").arg(objectName()));
        m_rowStore = std::make_unique<TPieceStore>(size);
    }
    void* piece = m_rowStore->take();
    auto* values = reinterpret_cast<QVariant*>(static_cast<char*>(piece) + header);
    std::uninitialized_default_construct_n(values, count);
    return RowPtr(new (piece) Row{values, count}, RowRelease{m_rowStore.get()});
}

namespace {

// Makes a row the active record for field reads (calculation, filtering, views) and restores the
// previous one however the reader leaves.
template <typename RowT> class ActiveRowScope {
public:
    ActiveRowScope(RowT*& slot, RowT* row) : m_slot(slot), m_saved(slot) { m_slot = row; }
    ~ActiveRowScope() { m_slot = m_saved; }
    ActiveRowScope(const ActiveRowScope&) = delete;
    ActiveRowScope& operator=(const ActiveRowScope&) = delete;

private:
    RowT*& m_slot;
    RowT* m_saved;
};

int compareValues(const QVariant& a, const QVariant& b, TFieldType type) {
    const bool nullA = !a.isValid() || a.isNull();
    const bool nullB = !b.isValid() || b.isNull();
    if (nullA || nullB)
        return int(nullB) - int(nullA);
    if (isStringType(type)) {
        return a.toString().compare(b.toString(), Qt::CaseInsensitive);
    }
    if (type == TFieldType::DateTime) {
        const QDateTime da = a.toDateTime();
        const QDateTime db = b.toDateTime();
        return da < db ? -1 : (db < da ? 1 : 0);
    }
    const double da = a.toDouble();
    const double db = b.toDouble();
    return da < db ? -1 : (db < da ? 1 : 0);
}

QString keyText(const std::vector<QVariant>& values) {
    QString key;
    for (const QVariant& v : values) {
        key += v.toString();
        key += QChar(0x1F);
    }
    return key;
}

} // namespace

TMemoryData::TMemoryData(QObject* parent) : QObject(parent) {}

TMemoryData::~TMemoryData() = default;

// ---- structure ----

TField* TMemoryData::addField(const QString& name, TFieldType type, int size, TFieldKind kind) {
    checkInactive();
    if (findField(name))
        throw EDataSetError(QStringLiteral("Повторяющееся имя поля '%1'").arg(name));
    auto field = std::unique_ptr<TField>(new TField(this, name, type, size, kind));
    field->m_index = fieldCount();
    m_fields.push_back(std::move(field));
    ++m_changeCount;
    if (notifying())
        Q_EMIT structureChanged();
    return m_fields.back().get();
}

void TMemoryData::removeField(TField* field) {
    checkInactive();
    const auto it =
        std::find_if(m_fields.begin(), m_fields.end(), [field](const auto& f) { return f.get() == field; });
    if (it == m_fields.end())
        return;
    m_fields.erase(it);
    for (int i = 0; i < fieldCount(); ++i)
        m_fields[std::size_t(i)]->m_index = i;
    std::erase_if(m_sortFields, [field](const auto& entry) { return entry.first == field; });
    ++m_changeCount;
    if (notifying())
        Q_EMIT structureChanged();
}

void TMemoryData::setFieldKind(TField* field, TFieldKind kind) {
    checkInactive();
    field->m_kind = kind;
    ++m_changeCount;
}

void TMemoryData::setFieldType(TField* field, TFieldType type) {
    checkInactive();
    field->m_type = type;
    ++m_changeCount;
}

void TMemoryData::clearFields() {
    close();
    m_fields.clear();
    m_sortFields.clear();
    m_sortOrder.clear();
    ++m_changeCount;
    if (notifying())
        Q_EMIT structureChanged();
}

TField* TMemoryData::findField(const QString& name) const {
    for (const auto& f : m_fields) {
        if (f->fieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    }
    return nullptr;
}

TField* TMemoryData::fieldByName(const QString& name) const {
    TField* f = findField(name);
    if (!f)
        throw EDataSetError(QStringLiteral("%1: Поле '%2' не найдено").arg(objectName(), name));
    return f;
}

std::vector<TField*> TMemoryData::fieldList(const QString& names) const {
    std::vector<TField*> result;
    const QStringList parts = names.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& part : parts)
        result.push_back(fieldByName(part.trimmed()));
    return result;
}

// ---- lifecycle ----

void TMemoryData::open() {
    if (active())
        return;
    if (m_fields.empty())
        throw EDataSetError(QStringLiteral("%1: Набор данных не имеет полей").arg(objectName()));
    m_state = TDataSetState::Browse;
    m_current = -1;
    m_bof = m_eof = true;
    touched();
    if (notifying()) {
        Q_EMIT dataReset();
        Q_EMIT stateChanged();
    }
}

void TMemoryData::close() {
    if (!active())
        return;
    m_editBackup.reset();
    m_view.clear();
    m_rows.clear();
    m_rowStore.reset(); // a big result's blocks go back to the system with its rows
    m_current = -1;
    m_bof = m_eof = true;
    m_state = TDataSetState::Inactive;
    touched();
    if (notifying()) {
        Q_EMIT dataReset();
        Q_EMIT stateChanged();
    }
}

void TMemoryData::emptyTable() {
    checkActive();
    m_editBackup.reset();
    m_view.clear();
    m_rows.clear();
    m_rowStore.reset(); // a big result's blocks go back to the system with its rows
    m_current = -1;
    m_bof = m_eof = true;
    setState(TDataSetState::Browse);
    touched();
    if (notifying())
        Q_EMIT dataReset();
}

void TMemoryData::checkActive() const {
    if (!active())
        throw EDataSetError(QStringLiteral("%1: Невозможно выполнить операцию над закрытым набором данных")
                                .arg(objectName()));
}

void TMemoryData::checkInactive() const {
    if (active())
        throw EDataSetError(QStringLiteral("%1: Невозможно выполнить операцию над открытым набором данных")
                                .arg(objectName()));
}

void TMemoryData::checkBrowseMode() {
    checkActive();
    if (isEditing())
        post();
}

void TMemoryData::setState(TDataSetState state) {
    if (m_state == state)
        return;
    m_state = state;
    if (notifying())
        Q_EMIT stateChanged();
    else
        m_resetPending = true;
}

void TMemoryData::touched() {
    ++m_changeCount;
    if (!notifying())
        m_resetPending = true;
}

// The handler runs from a copy: it may replace the record set's handlers, itself among them (a
// view reloaded from inside its own notification), and must not be destroyed while it runs.
void TMemoryData::fire(const TDataSetNotify& handler) {
    if (!handler)
        return;
    const TDataSetNotify running = handler;
    running(*this);
}

// ---- values ----

TMemoryData::Row* TMemoryData::activeRow() const {
    if (m_override)
        return m_override;
    return m_current >= 0 ? m_view[std::size_t(m_current)] : nullptr;
}

QVariant TMemoryData::activeValue(const TField* field) {
    return rowValue(activeRow(), field);
}

QVariant TMemoryData::valueAt(int recNo, const TField* field) {
    if (recNo < 1 || recNo > recordCount())
        return {};
    return rowValue(m_view[std::size_t(recNo - 1)], field);
}

QVariant TMemoryData::rowValue(Row* row, const TField* field) {
    if (!row)
        return {};
    switch (field->fieldKind()) {
    case TFieldKind::Data:
        return row->values[std::size_t(field->index())];
    case TFieldKind::Calculated:
        ensureCalculated(row);
        return row->values[std::size_t(field->index())];
    case TFieldKind::Lookup:
        return lookupValue(row, field);
    }
    return {};
}

void TMemoryData::ensureCalculated(Row* row) {
    if (row->calculated || !m_events.onCalcFields)
        return;
    row->calculated = true;
    for (const auto& f : m_fields) {
        if (f->fieldKind() == TFieldKind::Calculated)
            row->values[std::size_t(f->index())] = QVariant();
    }
    ActiveRowScope<Row> scope(m_override, row);
    const bool wasCalculating = std::exchange(m_calculating, true);
    try {
        m_events.onCalcFields(*this);
    } catch (...) {
        m_calculating = wasCalculating;
        throw;
    }
    m_calculating = wasCalculating;
}

QVariant TMemoryData::lookupValue(Row* row, const TField* field) {
    TMemoryData* list = field->lookupDataSet;
    if (!list || !list->active() || field->keyFields.isEmpty())
        return {};
    std::vector<QVariant> key;
    for (TField* keyField : fieldList(field->keyFields)) {
        QVariant v = rowValue(row, keyField);
        if (!v.isValid() || v.isNull())
            return {};
        key.push_back(std::move(v));
    }
    if (field->m_lookupVersion != list->changeCount()) {
        field->m_lookupValues.clear();
        const std::vector<TField*> listKeys = list->fieldList(field->lookupKeyFields);
        TField* result = list->fieldByName(field->lookupResultField);
        for (Row* listRow : list->m_view) {
            std::vector<QVariant> listKey;
            for (TField* f : listKeys)
                listKey.push_back(list->rowValue(listRow, f));
            const QString text = keyText(listKey);
            if (!field->m_lookupValues.contains(text))
                field->m_lookupValues.insert(text, list->rowValue(listRow, result));
        }
        field->m_lookupVersion = list->changeCount();
    }
    return field->m_lookupValues.value(keyText(key));
}

void TMemoryData::setActiveValue(TField* field, const QVariant& value) {
    checkActive();
    const std::size_t index = std::size_t(field->index());
    if (m_calculating && field->fieldKind() == TFieldKind::Calculated) {
        m_override->values[index] = field->convert(value);
        return;
    }
    if (!isEditing())
        throw EDataSetError(
            QStringLiteral("%1: Набор данных не находится в режиме редактирования или вставки")
                .arg(objectName()));
    if (field->readOnly || field->fieldKind() == TFieldKind::Calculated)
        throw EDataSetError(QStringLiteral("Поле '%1' не может быть изменено").arg(field->displayLabel()));
    if (field->fieldKind() == TFieldKind::Lookup) {
        // Choosing a shown value writes the key of the list row that carries it.
        const std::vector<TField*> own = fieldList(field->keyFields);
        TMemoryData* list = field->lookupDataSet;
        if (!value.isValid() || value.isNull()) {
            for (TField* f : own)
                f->clear();
            return;
        }
        if (!list || !list->active())
            return;
        const std::vector<TField*> listKeys = list->fieldList(field->lookupKeyFields);
        const int found = list->findRow({field->lookupResultField}, {value}, {});
        if (found < 0)
            return;
        for (std::size_t i = 0; i < own.size() && i < listKeys.size(); ++i)
            own[i]->setValue(list->rowValue(list->m_view[std::size_t(found)], listKeys[i]));
        return;
    }
    Row* row = m_view[std::size_t(m_current)];
    row->values[index] = field->convert(value);
    row->calculated = false;
    touched();
    if (notifying())
        Q_EMIT rowChanged(recNo());
}

// ---- navigation ----

void TMemoryData::moveTo(int viewIndex) {
    fire(m_events.beforeScroll);
    m_current = viewIndex;
    if (notifying())
        Q_EMIT currentChanged(recNo());
    else
        m_resetPending = true;
    fire(m_events.afterScroll);
}

void TMemoryData::first() {
    checkBrowseMode();
    moveTo(isEmpty() ? -1 : 0);
    m_bof = true;
    m_eof = isEmpty();
}

void TMemoryData::last() {
    checkBrowseMode();
    moveTo(recordCount() - 1);
    m_eof = true;
    m_bof = isEmpty();
}

void TMemoryData::next() {
    checkBrowseMode();
    if (m_current + 1 >= recordCount()) {
        m_eof = true;
        return;
    }
    moveTo(m_current + 1);
    m_bof = m_eof = false;
}

void TMemoryData::prior() {
    checkBrowseMode();
    if (m_current <= 0) {
        m_bof = true;
        return;
    }
    moveTo(m_current - 1);
    m_bof = m_eof = false;
}

void TMemoryData::setRecNo(int recNo) {
    checkBrowseMode();
    if (recNo < 1 || recNo > recordCount())
        return;
    moveTo(recNo - 1);
    m_bof = m_eof = false;
}

int TMemoryData::findRow(const QStringList& fields, const QVariantList& values, TLocateOptions options) {
    std::vector<TField*> keyFields;
    for (const QString& name : fields)
        keyFields.push_back(fieldByName(name.trimmed()));
    std::vector<QVariant> wanted;
    for (std::size_t i = 0; i < keyFields.size(); ++i) {
        const QVariant v = i < std::size_t(values.size()) ? values[qsizetype(i)] : QVariant();
        try {
            wanted.push_back(keyFields[i]->convert(v));
        } catch (const EError&) {
            return -1; // a value the field cannot hold matches no row
        }
    }
    for (std::size_t r = 0; r < m_view.size(); ++r) {
        bool match = true;
        for (std::size_t i = 0; i < keyFields.size() && match; ++i) {
            const QVariant have = rowValue(m_view[r], keyFields[i]);
            const QVariant& want = wanted[i];
            const bool haveNull = !have.isValid() || have.isNull();
            const bool wantNull = !want.isValid();
            if (haveNull || wantNull) {
                match = haveNull && wantNull;
            } else if (isStringType(keyFields[i]->dataType())) {
                const Qt::CaseSensitivity cs =
                    options.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
                const QString h = have.toString();
                const QString w = want.toString();
                match = options.partialKey ? h.startsWith(w, cs) : h.compare(w, cs) == 0;
            } else {
                match = compareValues(have, want, keyFields[i]->dataType()) == 0;
            }
        }
        if (match)
            return int(r);
    }
    return -1;
}

bool TMemoryData::locate(const QString& keyFields, const QVariantList& values, TLocateOptions options) {
    checkBrowseMode();
    const int found = findRow(keyFields.split(QLatin1Char(';'), Qt::SkipEmptyParts), values, options);
    if (found < 0)
        return false;
    moveTo(found);
    m_bof = m_eof = false;
    return true;
}

QVariant TMemoryData::lookup(const QString& keyFields, const QVariantList& values,
                             const QString& resultField) {
    checkActive();
    TField* result = fieldByName(resultField);
    const int found = findRow(keyFields.split(QLatin1Char(';'), Qt::SkipEmptyParts), values, {});
    return found < 0 ? QVariant() : rowValue(m_view[std::size_t(found)], result);
}

// ---- editing ----

void TMemoryData::beginInsertAppend() {
    checkBrowseMode();
    fire(m_events.beforeInsert);
    fire(m_events.beforeScroll);
}

void TMemoryData::insertRow(int viewIndex) {
    RowPtr row = newRow();
    Row* raw = row.get();
    if (viewIndex >= recordCount()) {
        m_rows.push_back(std::move(row));
        viewIndex = recordCount();
    } else {
        Row* before = m_view[std::size_t(viewIndex)];
        auto at = std::size_t(viewIndex) < m_rows.size() && m_rows[std::size_t(viewIndex)].get() == before
                      ? m_rows.begin() + viewIndex
                      : std::find_if(m_rows.begin(), m_rows.end(),
                                     [before](const auto& r) { return r.get() == before; });
        m_rows.insert(at, std::move(row));
    }
    if (notifying())
        Q_EMIT rowAboutToBeInserted(viewIndex + 1);
    m_view.insert(m_view.begin() + viewIndex, raw);
    m_current = viewIndex;
    m_bof = m_eof = false;
    touched();
    if (notifying()) {
        Q_EMIT rowInserted(viewIndex + 1);
        Q_EMIT currentChanged(recNo());
    }
    setState(TDataSetState::Insert);
}

void TMemoryData::removeViewRow(int viewIndex) {
    Row* row = m_view[std::size_t(viewIndex)];
    if (notifying())
        Q_EMIT rowAboutToBeRemoved(viewIndex + 1);
    m_view.erase(m_view.begin() + viewIndex);
    std::erase_if(m_rows, [row](const auto& r) { return r.get() == row; });
    if (m_current >= recordCount())
        m_current = recordCount() - 1;
    if (isEmpty())
        m_bof = m_eof = true;
    touched();
    if (notifying()) {
        Q_EMIT rowRemoved(viewIndex + 1);
        Q_EMIT currentChanged(recNo());
    }
}

void TMemoryData::append() {
    beginInsertAppend();
    insertRow(recordCount());
    fire(m_events.afterInsert);
    fire(m_events.afterScroll);
}

void TMemoryData::insert() {
    beginInsertAppend();
    insertRow(m_current < 0 ? 0 : m_current);
    fire(m_events.afterInsert);
    fire(m_events.afterScroll);
}

void TMemoryData::edit() {
    checkActive();
    if (isEditing())
        return;
    if (isEmpty()) {
        insert();
        return;
    }
    fire(m_events.beforeEdit);
    const Row* row = m_view[std::size_t(m_current)];
    m_editBackup.emplace(row->values, row->values + row->count);
    setState(TDataSetState::Edit);
    fire(m_events.afterEdit);
}

QVariant TMemoryData::oldValue(const TField* field) {
    if (m_state == TDataSetState::Edit && m_editBackup && field->fieldKind() == TFieldKind::Data)
        return (*m_editBackup)[std::size_t(field->index())];
    return activeValue(field);
}

void TMemoryData::setOldValue(const TField* field, const QVariant& value) {
    if (m_state == TDataSetState::Edit && m_editBackup && field->fieldKind() == TFieldKind::Data)
        (*m_editBackup)[std::size_t(field->index())] = field->convert(value);
}

void TMemoryData::addRecordUpdater(const QObject* owner, std::function<void()> update) {
    m_recordUpdaters.emplace_back(owner, std::move(update));
}

void TMemoryData::removeRecordUpdaters(const QObject* owner) {
    std::erase_if(m_recordUpdaters, [owner](const auto& updater) { return updater.first == owner; });
}

void TMemoryData::updateRecord() {
    if (!isEditing())
        return;
    const auto updaters = m_recordUpdaters; // an updater may unregister itself
    for (const auto& updater : updaters)
        updater.second();
}

void TMemoryData::post() {
    checkActive();
    if (!isEditing())
        return;
    updateRecord();
    if (!isEditing())
        return;
    fire(m_events.beforePost);
    if (!isEditing())
        return; // the handler finished the edit itself
    Row* row = m_view[std::size_t(m_current)];
    for (const auto& f : m_fields) {
        if (f->required && f->fieldKind() == TFieldKind::Data) {
            const QVariant& v = row->values[std::size_t(f->index())];
            if (!v.isValid() || v.isNull())
                throw EDataSetError(QStringLiteral("Поле '%1' должно иметь значение").arg(f->displayLabel()));
        }
    }
    m_editBackup.reset();
    row->calculated = false;
    setState(TDataSetState::Browse);
    touched();
    if (notifying())
        Q_EMIT rowChanged(recNo());
    fire(m_events.afterPost);
}

void TMemoryData::cancel() {
    checkActive();
    if (!isEditing())
        return;
    fire(m_events.beforeCancel);
    if (m_state == TDataSetState::Insert) {
        removeViewRow(m_current);
    } else if (m_editBackup) {
        std::copy(m_editBackup->begin(), m_editBackup->end(), m_view[std::size_t(m_current)]->values);
        m_view[std::size_t(m_current)]->calculated = false;
        touched();
        if (notifying())
            Q_EMIT rowChanged(recNo());
    }
    m_editBackup.reset();
    setState(TDataSetState::Browse);
    fire(m_events.afterCancel);
}

void TMemoryData::deleteRecord() {
    checkActive();
    if (m_state == TDataSetState::Insert) {
        cancel();
        return;
    }
    if (isEmpty())
        throw EDataSetError(
            QStringLiteral("%1: Невозможно выполнить операцию над пустым набором данных").arg(objectName()));
    fire(m_events.beforeDelete);
    fire(m_events.beforeScroll);
    m_editBackup.reset();
    removeViewRow(m_current);
    setState(TDataSetState::Browse);
    fire(m_events.afterDelete);
    fire(m_events.afterScroll);
}

void TMemoryData::removeRows(const std::function<bool(int recNo)>& keep) {
    checkBrowseMode();
    std::unordered_set<Row*> gone;
    for (int i = 0; i < recordCount(); ++i) {
        if (!keep(i + 1))
            gone.insert(m_view[std::size_t(i)]);
    }
    if (gone.empty())
        return;
    std::erase_if(m_view, [&gone](Row* row) { return gone.count(row) > 0; });
    std::erase_if(m_rows, [&gone](const auto& row) { return gone.count(row.get()) > 0; });
    m_current = isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = isEmpty();
    touched();
    if (notifying()) {
        Q_EMIT dataReset();
        Q_EMIT currentChanged(recNo());
    }
}

void TMemoryData::appendRecord(const QVariantList& values) {
    append();
    try {
        int i = 0;
        for (const auto& f : m_fields) {
            if (f->fieldKind() != TFieldKind::Data)
                continue;
            if (i >= values.size())
                break;
            const QVariant& v = values[i++];
            if (v.isValid() && !v.isNull())
                f->setValue(v);
        }
        post();
    } catch (...) {
        if (isEditing())
            cancel();
        throw;
    }
}

void TMemoryData::appendRecords(int count, const std::function<void(int, QVariantList&)>& fill) {
    const TDataSetEvents& e = m_events;
    QVariantList values;
    if (e.beforeInsert || e.afterInsert || e.beforePost || e.afterPost || e.beforeScroll || e.afterScroll ||
        !m_recordUpdaters.empty() || notifying()) {
        for (int i = 0; i < count; ++i) {
            values.clear();
            fill(i, values);
            appendRecord(values);
        }
        return;
    }
    checkBrowseMode();
    std::vector<TField*> data;
    for (const auto& f : m_fields) {
        if (f->fieldKind() == TFieldKind::Data)
            data.push_back(f.get());
    }
    m_rows.reserve(m_rows.size() + std::size_t(count));
    m_view.reserve(m_view.size() + std::size_t(count));
    for (int i = 0; i < count; ++i) {
        values.clear();
        fill(i, values);
        RowPtr row = newRow();
        for (std::size_t k = 0; k < data.size() && k < std::size_t(values.size()); ++k) {
            QVariant& v = values[qsizetype(k)];
            QVariant& stored = row->values[std::size_t(data[k]->index())];
            if (data[k]->storesAsIs(v))
                stored = std::move(v);
            else if (v.isValid() && !v.isNull())
                stored = data[k]->convert(v);
        }
        for (const TField* f : data) {
            const QVariant& v = row->values[std::size_t(f->index())];
            if (f->required && (!v.isValid() || v.isNull()))
                throw EDataSetError(QStringLiteral("Поле '%1' должно иметь значение").arg(f->displayLabel()));
        }
        m_view.push_back(row.get());
        m_rows.push_back(std::move(row));
    }
    if (count > 0) {
        m_current = recordCount() - 1;
        m_bof = m_eof = false;
        touched();
    }
}

// ---- display updates, filter, sort ----

void TMemoryData::disableControls() {
    ++m_disableCount;
}

void TMemoryData::enableControls() {
    if (m_disableCount == 0)
        return;
    if (--m_disableCount == 0 && m_resetPending) {
        m_resetPending = false;
        Q_EMIT dataReset();
        Q_EMIT stateChanged();
        Q_EMIT currentChanged(recNo());
    }
}

void TMemoryData::setFilter(std::function<bool(TMemoryData&)> filter) {
    m_filter = std::move(filter);
    if (active() && m_filtered)
        rebuildView();
}

void TMemoryData::setFiltered(bool filtered) {
    if (m_filtered == filtered)
        return;
    m_filtered = filtered;
    if (active())
        rebuildView();
}

void TMemoryData::refilter() {
    if (active())
        rebuildView();
}

void TMemoryData::setSortOrder(const QString& order, bool byCompareText) {
    m_sortByCompareText = byCompareText;
    std::vector<std::pair<TField*, bool>> sortFields;
    for (const QString& part : order.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        QStringList words = part.simplified().split(QLatin1Char(' '));
        bool descending = false;
        if (words.size() > 1 && words.last().compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0) {
            descending = true;
            words.removeLast();
        } else if (words.size() > 1 && words.last().compare(QLatin1String("ASC"), Qt::CaseInsensitive) == 0) {
            words.removeLast();
        }
        sortFields.emplace_back(fieldByName(words.join(QLatin1Char(' '))), descending);
    }
    m_sortOrder = order;
    m_sortFields = std::move(sortFields);
    if (active())
        rebuildView();
}

void TMemoryData::recalculate() {
    for (const auto& row : m_rows)
        row->calculated = false;
    touched();
    if (notifying())
        Q_EMIT dataReset();
}

void TMemoryData::rebuildView() {
    Row* current = activeRow();
    m_view.clear();
    m_view.reserve(m_rows.size());
    for (const auto& row : m_rows) {
        bool keep = true;
        if (m_filtered && m_filter && !(isEditing() && row.get() == current)) {
            ActiveRowScope<Row> scope(m_override, row.get());
            keep = m_filter(*this);
        }
        if (keep)
            m_view.push_back(row.get());
    }
    if (!m_sortFields.empty()) {
        std::stable_sort(m_view.begin(), m_view.end(), [this](Row* a, Row* b) {
            for (const auto& [field, descending] : m_sortFields) {
                const QVariant va = rowValue(a, field);
                const QVariant vb = rowValue(b, field);
                // Texts sort in CompareText order, as the program's trees do.
                const int c =
                    m_sortByCompareText && isStringType(field->dataType()) && !va.isNull() && !vb.isNull()
                        ? compareText(va.toString(), vb.toString())
                        : compareValues(va, vb, field->dataType());
                if (c != 0)
                    return descending ? c > 0 : c < 0;
            }
            return false;
        });
    }
    const auto it = std::find(m_view.begin(), m_view.end(), current);
    m_current = it != m_view.end() ? int(it - m_view.begin()) : (m_view.empty() ? -1 : 0);
    m_bof = m_current <= 0;
    m_eof = m_view.empty();
    touched();
    if (notifying()) {
        Q_EMIT dataReset();
        Q_EMIT currentChanged(recNo());
    }
}
