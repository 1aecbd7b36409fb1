#pragma once

#include "TFrExtraAbstract.h"
#include "TIntegerList.h"
#include "TMemoryData.h"

#include <QString>

class QFormLayout;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// A book's record with a many-to-many list of links to another book: the record's own fields are
// edited on the main window's record, the ticked link targets are kept until AfterSave rewrites
// the record's links inside the main window's transaction.
class TLinkListEditor : public TFrExtraAbstract {
    Q_OBJECT

public:
    // What tells the three link-list editors apart.
    struct Links {
        QString linkQuery;    // every link row, ordered by owner
        QString ownerColumn;  // of the link query
        QString targetColumn; // of the link query
        QString deleteStatement;
        QString insertStatement;
        QString deleteFailure;
        QString insertFailure;
        QString logLine;
        QString emptyChoice;
        bool collectFromLast = false; // the order OK collects the ticked entries in
        QString nameLabel;            // the caption of the record's own name, field sname
    };

    TLinkListEditor(Links links, QWidget* parent);

    void LoadRecord(TMemoryData& record, bool firstShow) override;
    bool AfterSave(TATreeDataCollectionItem* nodeData) override;

    QTreeWidget* choices() const { return m_choices; }
    const TIntegerList& chosenIds() const { return FChosenIds; }
    QLineEdit* DBEdit1; // the record's sname
    QPushButton* BitBtn1;
    QPushButton* CanselBtn;

protected:
    // The form: the own fields' area, the choice control titled choiceTitle, the buttons.
    QFormLayout* ownFields() const { return m_ownFields; }
    void setChoiceTitle(const QString& title);
    // Fills the choice control (every LoadRecord, or once for a tree).
    virtual void loadChoices() = 0;
    // The record's own fields into the controls, before the choices are loaded.
    virtual void loadOwnFields(TMemoryData& record);
    // The controls into the record on OK; false keeps the form open (the user has been told why).
    // Raises when a field cannot take its value: the form then closes with Cancel.
    virtual bool saveOwnFields(TMemoryData& record);
    // Whether OK may collect the choices for this record at all.
    virtual bool mayCollect(TMemoryData& record) const;
    QTreeWidgetItem* addChoice(QTreeWidgetItem* parent, const QString& caption, qint32 id);

    TMemoryData* FRecord = nullptr;

private:
    void LoadLinks();
    void tickChosen();
    void BitBtn1Click();
    void paintTicked(QTreeWidgetItem* item);

    Links m_links;
    QFormLayout* m_ownFields;
    QTreeWidget* m_choices;
    TMemoryData FLinks;
    TIntegerList FChosenIds;
    qint32 FOwnerId = 0;
};
