#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

class TATreeDataCollectionItem;
class TMemoryData;

// The base of every specialised editor: the main window loads the record into it, shows it modally
// and writes the record itself, calling BeforeSave and AfterSave inside the save's transaction.
class TFrExtraAbstract : public QDialog {
    Q_OBJECT

public:
    using QDialog::QDialog;

    // Before each show; the record set's current record is in insert or edit state.
    virtual void LoadRecord(TMemoryData& record, bool firstShow) = 0;
    // Inside the transaction after the record's own write; nodeData is null for a new record.
    virtual bool AfterSave(TATreeDataCollectionItem* nodeData);
    // Inside the transaction before the record's own write.
    virtual bool BeforeSave(TATreeDataCollectionItem* nodeData);

    // Messages of partial failures, listed after the commit when a save step reported false.
    std::unique_ptr<QStringList> FMessages;

protected:
    // Writes the controls into the record; false when the record refused a value (the user has
    // been told why: by the field itself, or here with the error's text).
    static bool writeRecord(const std::function<void()>& write);
    // However it closes, the editor is left without an active control.
    void done(int result) override;
};
