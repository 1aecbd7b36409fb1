#pragma once

#include "TMemoryData.h"

#include <QDialog>
#include <vector>

class QPushButton;
class TDBGrid;
class TfrATypes;

// "Связи с типами СИ(СА)": the instrument types a document is linked to. Changes are collected and
// written together on "Применить"; the document's row stays locked while the dialog is open.
class TfrDocLinks : public QDialog {
    Q_OBJECT

public:
    TfrDocLinks(TfrATypes& chooser, QWidget* parent = nullptr);

    int ShowForDocument(int docId);

    TMemoryData rxmdPassList;
    TDBGrid* DBGridEh1;
    QPushButton* btnAdd;
    QPushButton* btnDelete;
    QPushButton* btnOk;
    QPushButton* BitBtn2;

    struct Change {
        int typeId;
        bool add;
    };
    const std::vector<Change>& changes() const { return FChanges; }

    void done(int result) override;

private:
    void loadList();
    void updateButtons();
    void btnAddClick();
    void btnDeleteClick();
    void btnOkClick();
    std::vector<Change>::iterator changeOf(int typeId);
    void rollbackIfOpen();

    TfrATypes& m_chooser;
    int m_docId = 0;
    std::vector<Change> FChanges;
};
