#pragma once

#include "TPermissionCollection.h"

#include <QDialog>

class QPushButton;
class QTabWidget;
class TControlStringgrid;
class TRowPermissionPage;
class TStatementSink;
class TfrMain;

// "Разрешения роли": what a role may do — program functions (column grants on StaticPermissions
// and memberships), row permissions of books, and table grants on the books' tables. Only memory
// changes while it is open; the role dialog saves.
class TformPermissions : public QDialog {
    Q_OBJECT

public:
    TformPermissions(TfrMain& mainWindow, QWidget* parent = nullptr);
    ~TformPermissions() override;

    // Fills every page for the role and shows the window; the collection is edited in place (and
    // restored on cancel). 0 when the role's functions cannot be read.
    int EditRolePermissions(const QString& shortName, TPermissionCollection* collection);
    bool SaveStaticPermissions(TStatementSink& sink);
    bool SaveBookGrants(TStatementSink& sink);
    void reject() override;

    QTabWidget* PageControl;
    TControlStringgrid* sgStatic;
    TRowPermissionPage* RowPage;
    TControlStringgrid* sgBooks;
    QPushButton* BtnOk;
    QPushButton* BtnCancel;

private:
    bool fillStatic();
    void tickStaticGrants();
    void fillBooks();
    static void prepareGrid(TControlStringgrid& grid, int nameWidth, const QString& corner);
    static void addActionColumn(TControlStringgrid& grid, const QString& code, const QString& caption);
    static bool isMembershipRow(const QString& key);
    static QString withoutBrackets(QString key);
    void BtnOkClick();

    TfrMain& m_mainWindow;
    QString m_roleName;
    TPermissionCollection* m_collection = nullptr;
    TPermissionCollection m_undo;
};
