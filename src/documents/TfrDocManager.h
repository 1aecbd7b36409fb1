#pragma once

#include "TMemoryData.h"

#include <QDialog>
#include <QStringList>
#include <functional>

class QKeyEvent;
class QPushButton;
class TDBGrid;
class TfrATypes;

// The documents of one instrument type: open, attach, update, delete, and their links.
class TfrDocManager : public QDialog {
    Q_OBJECT

public:
    TfrDocManager(TfrATypes& chooser, QWidget* parent = nullptr);
    ~TfrDocManager() override;

    int ShowDocuments(int typeId);

    TMemoryData list;
    TDBGrid* DocGrid;
    QPushButton* btnAddDoc;
    QPushButton* btnUpdateDoc;
    QPushButton* btnDeleteDoc;
    QPushButton* btnLinksDoc;
    QPushButton* btnLoadAndOpen;
    QPushButton* btnCancel;

    // Opens a file with the program the system associates with it; false when it cannot.
    std::function<bool(const QString& path)> openFile;
    // Asks where to keep a document that could not be opened; empty when the user declines.
    std::function<QString(const QString& fileName)> chooseSavePath;

    void OpenDocument(int docId);
    const QStringList& tempFolders() const { return FTempFolders; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void loadList();
    void RefreshRow(int docId);
    void updateButtons();
    int currentId() const;
    void btnAddDocClick();
    void btnUpdateDocClick();
    void btnDeleteDocClick();
    void btnLinksDocClick();
    QString MakeTempFolder();
    QString listSelect() const;

    TfrATypes& m_chooser;
    int FTypeId = 0;
    QStringList FTempFolders;
    int FTempCounter = 1;
};
