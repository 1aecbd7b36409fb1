#include "TMemoryData.h"

#include "TextHelpers.h"

#include "EDataSetError.h"
#include "EError.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <unordered_set>

TMemoryData::Row* TMemoryData::newRow() {
    if (!m_rowStore) {
        std::vector<TFieldType> types;
        for (const auto& f : m_fields)
            types.push_back(f->dataType());
        m_rowStore = std::make_unique<TRowStore>(types);
    }
    return m_rowStore->newRow();
}

void TMemoryData::releaseRow(Row* row) {
    m_rowStore->release(row);
}

void TMemoryData::clearRows() {
    m_editBackup.reset();
    m_view.clear();
    if (m_rowStore) {
        for (Row* row : m_rows)
            m_rowStore->destroyValues(row);
    }
    std::vector<Row*>().swap(m_rows);
    std::vector<Row*>().swap(m_view);
    m_rowStore.reset(); // its blocks go with it (a few kept for the next big record set)
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

TMemoryData::~TMemoryData() {
    clearRows();
}

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
    clearRows();
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
    clearRows();
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
        return m_rowStore->value(row, field->index());
    case TFieldKind::Calculated:
        ensureCalculated(row);
        return m_rowStore->value(row, field->index());
    case TFieldKind::Lookup:
        return lookupValue(row, field);
    }
    return {};
}

void TMemoryData::ensureCalculated(Row* row) {
    if (m_rowStore->calculated(row) || !m_events.onCalcFields)
        return;
    m_rowStore->setCalculated(row, true);
    for (const auto& f : m_fields) {
        if (f->fieldKind() == TFieldKind::Calculated)
            m_rowStore->setNull(row, f->index());
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
    const int index = field->index();
    if (m_calculating && field->fieldKind() == TFieldKind::Calculated) {
        m_rowStore->setValue(m_override, index, field->convert(value));
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
    m_rowStore->setValue(row, index, field->convert(value));
    m_rowStore->setCalculated(row, false);
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
    const Qt::CaseSensitivity cs = options.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    std::vector<QString> wantedText;
    for (const QVariant& v : wanted)
        wantedText.push_back(v.toString());
    for (std::size_t r = 0; r < m_view.size(); ++r) {
        bool match = true;
        for (std::size_t i = 0; i < keyFields.size() && match; ++i) {
            const TField* field = keyFields[i];
            const bool wantNull = !wanted[i].isValid();
            if (isStringType(field->dataType()) && field->fieldKind() != TFieldKind::Lookup) {
                // Texts are compared where they lie: a locate in a big book makes no copies.
                const QStringView have = rowText(m_view[r], field);
                const bool haveNull = m_rowStore->isNull(m_view[r], field->index());
                if (haveNull || wantNull)
                    match = haveNull && wantNull;
                else
                    match = options.partialKey ? have.startsWith(wantedText[i], cs)
                                               : have.compare(wantedText[i], cs) == 0;
                continue;
            }
            const QVariant have = rowValue(m_view[r], field);
            const QVariant& want = wanted[i];
            const bool haveNull = !have.isValid() || have.isNull();
            if (haveNull || wantNull) {
                match = haveNull && wantNull;
            } else if (isStringType(field->dataType())) {
                const QString h = have.toString();
                match =
                    options.partialKey ? h.startsWith(wantedText[i], cs) : h.compare(wantedText[i], cs) == 0;
            } else {
                match = compareValues(have, want, field->dataType()) == 0;
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
    Row* raw = newRow();
    if (viewIndex >= recordCount()) {
        m_rows.push_back(raw);
        viewIndex = recordCount();
    } else {
        Row* before = m_view[std::size_t(viewIndex)];
        auto at = std::size_t(viewIndex) < m_rows.size() && m_rows[std::size_t(viewIndex)] == before
                      ? m_rows.begin() + viewIndex
                      : std::find(m_rows.begin(), m_rows.end(), before);
        m_rows.insert(at, raw);
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
    std::erase(m_rows, row);
    releaseRow(row);
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
    m_editBackup.emplace();
    for (int i = 0; i < fieldCount(); ++i)
        m_editBackup->push_back(m_rowStore->value(row, i));
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
            if (m_rowStore->isNull(row, f->index()))
                throw EDataSetError(QStringLiteral("Поле '%1' должно иметь значение").arg(f->displayLabel()));
        }
    }
    m_editBackup.reset();
    m_rowStore->setCalculated(row, false);
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
        Row* row = m_view[std::size_t(m_current)];
        for (int i = 0; i < int(m_editBackup->size()); ++i)
            m_rowStore->setValue(row, i, (*m_editBackup)[std::size_t(i)]);
        m_rowStore->setCalculated(row, false);
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
    std::erase_if(m_rows, [&gone](Row* row) { return gone.count(row) > 0; });
    for (Row* row : gone)
        releaseRow(row);
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

std::vector<TField*> TMemoryData::dataFields() const {
    std::vector<TField*> data;
    for (const auto& f : m_fields) {
        if (f->fieldKind() == TFieldKind::Data)
            data.push_back(f.get());
    }
    return data;
}

bool TMemoryData::hasRecordListeners() const {
    const TDataSetEvents& e = m_events;
    return e.beforeInsert || e.afterInsert || e.beforePost || e.afterPost || e.beforeScroll || e.afterScroll;
}

void TMemoryData::appendRecords(const std::function<bool(TRecordWriter&)>& fill) {
    checkBrowseMode();
    const std::vector<TField*> data = dataFields();
    Row* row = newRow();
    TRecordWriter writer(*m_rowStore, data);
    if (hasRecordListeners() || notifying()) {
        // Someone listens: each record through append and post, from a scratch record.
        QVariantList values;
        try {
            for (writer.setRow(row); fill(writer);) {
                values.clear();
                for (const TField* f : data)
                    values << m_rowStore->value(row, f->index());
                releaseRow(row);
                row = nullptr;
                appendRecord(values);
                row = newRow();
                writer.setRow(row);
            }
        } catch (...) {
            if (row)
                releaseRow(row);
            throw;
        }
        releaseRow(row);
        return;
    }
    // The new records are gathered in small pieces and put in the lists once, at their final
    // size: lists grown by doubling would be mapped and faulted in afresh at every load.
    std::deque<Row*> added;
    const auto appended = [this, &added] {
        if (added.empty())
            return;
        m_rows.reserve(m_rows.size() + added.size());
        m_view.reserve(m_view.size() + added.size());
        m_rows.insert(m_rows.end(), added.begin(), added.end());
        m_view.insert(m_view.end(), added.begin(), added.end());
        m_current = recordCount() - 1;
        m_bof = m_eof = false;
        touched();
    };
    std::vector<const TField*> required;
    std::copy_if(data.begin(), data.end(), std::back_inserter(required),
                 [](const TField* f) { return f->required; });
    try {
        for (writer.setRow(row); fill(writer); writer.setRow(row)) {
            for (const TField* f : required) {
                if (m_rowStore->isNull(row, f->index()))
                    throw EDataSetError(
                        QStringLiteral("Поле '%1' должно иметь значение").arg(f->displayLabel()));
            }
            added.push_back(row);
            row = nullptr;
            row = newRow();
        }
    } catch (...) {
        if (row)
            releaseRow(row);
        appended();
        throw;
    }
    releaseRow(row);
    appended();
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
    for (Row* row : m_rows)
        m_rowStore->setCalculated(row, false);
    touched();
    if (notifying())
        Q_EMIT dataReset();
}

QStringView TMemoryData::rowText(Row* row, const TField* field) {
    if (field->fieldKind() == TFieldKind::Calculated)
        ensureCalculated(row);
    return m_rowStore->text(row, field->index());
}

int TMemoryData::compareRows(Row* a, Row* b, TField* field) {
    if (field->fieldKind() == TFieldKind::Data && field->dataType() == TFieldType::DateTime) {
        const bool nullA = m_rowStore->isNull(a, field->index());
        const bool nullB = m_rowStore->isNull(b, field->index());
        if (nullA || nullB)
            return int(nullB) - int(nullA);
        const qint64 ma = m_rowStore->moment(a, field->index());
        const qint64 mb = m_rowStore->moment(b, field->index());
        return ma < mb ? -1 : (mb < ma ? 1 : 0);
    }
    if (field->fieldKind() == TFieldKind::Lookup || !isStringType(field->dataType()))
        return compareValues(rowValue(a, field), rowValue(b, field), field->dataType());
    const QStringView ta = rowText(a, field);
    const QStringView tb = rowText(b, field);
    const bool nullA = m_rowStore->isNull(a, field->index());
    const bool nullB = m_rowStore->isNull(b, field->index());
    if (nullA || nullB)
        return int(nullB) - int(nullA);
    // Texts sort in CompareText order, as the program's trees do.
    return m_sortByCompareText ? compareText(ta, tb) : ta.compare(tb, Qt::CaseInsensitive);
}

void TMemoryData::rebuildView() {
    Row* current = activeRow();
    m_view.clear();
    m_view.reserve(m_rows.size());
    for (Row* row : m_rows) {
        bool keep = true;
        if (m_filtered && m_filter && !(isEditing() && row == current)) {
            ActiveRowScope<Row> scope(m_override, row);
            keep = m_filter(*this);
        }
        if (keep)
            m_view.push_back(row);
    }
    if (!m_sortFields.empty()) {
        std::stable_sort(m_view.begin(), m_view.end(), [this](Row* a, Row* b) {
            for (const auto& [field, descending] : m_sortFields) {
                const int c = compareRows(a, b, field);
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
