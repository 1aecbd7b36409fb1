#pragma once

#include <QString>
#include <QVariant>
#include <vector>

class TDbAttrCollection;
class TField;
class TMemoryData;

// Before an edited record is written, inside the save's transaction: its stored row, locked until
// the transaction ends, compared with the values the edit began with. Another workstation may have
// changed the record, saved a newer version of it (versioned books) or deleted it meanwhile.
class TStoredRecordCheck {
public:
    struct Difference {
        QString field;
        QString mine;
        QString stored;
    };

    TStoredRecordCheck(TDbAttrCollection& book, TMemoryData& record);

    // Locks and reads the stored record; raises ERecordGone when it is gone. True when it is not
    // the one the edit began with.
    bool changedMeanwhile();
    const std::vector<Difference>& differences() const { return m_differences; }
    bool newerVersion() const { return m_liveId != m_id; }
    // The edit starts from the stored record from now on (the next save compares with it; a
    // versioned record's save replaces the live version). With keepOnlyMine the fields the user
    // left alone also take the stored values; what he typed stays.
    void takeStoredAsBaseline(bool keepOnlyMine);

private:
    TDbAttrCollection& m_book;
    TMemoryData& m_record;
    qint32 m_id = -1;
    qint32 m_liveId = -1;
    std::vector<std::pair<TField*, QVariant>> m_stored;
    std::vector<Difference> m_differences;
};
