#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TformEffectiveRights;
class TformUserInfo;
class TformUserRoles;

// "Пользователи": the users under their headings, with create, edit, delete, roles and the rights
// reports of the one chosen.
class TformUsers : public QDialog {
    Q_OBJECT

public:
    TformUsers(TformUserInfo& userDialog, TformUserRoles& rolesDialog, QWidget* parent = nullptr);

    // Reads the list and shows the window modally.
    int Execute();
    void ReadList(int currentId);

    // Shows the rights reports of a user (by the person's name); set by the program.
    std::function<void(const QString& fullName)> printReports;

    QTreeWidget* tvListUser;
    QPushButton* butAddUser;
    QPushButton* butEditUser;
    QPushButton* butDelete;
    QPushButton* btnPrint;
    QPushButton* butChPassword;
    QPushButton* butRights;
    QCheckBox* chkDeleted;
    QPushButton* btnOk;

    enum Role { IdRole = Qt::UserRole, PicRole, LoginRole, FullNameRole };

private:
    int currentId() const;
    QTreeWidgetItem* current() const;
    void currentChanged();
    void openRolesAfterSave();
    void butAddUserClick();
    void butEditUserClick();
    void butDeleteClick();
    void btnPrintClick();
    void butChPasswordClick();
    void butRightsClick();

    TformUserInfo& m_userDialog;
    TformUserRoles& m_rolesDialog;
    TformEffectiveRights* m_rights;
};
