#pragma once

#include <QDialog>

class QTreeWidget;
class QTreeWidgetItem;

// "Действующие права": everything a user may do — program functions, books' table rights and
// row permissions — each with the role it comes from. Read only.
class TformEffectiveRights : public QDialog {
    Q_OBJECT

public:
    explicit TformEffectiveRights(QWidget* parent = nullptr);

    // Reads the rights of the user (by UserInfo id and the person's name) and shows them.
    int Execute(int userId, const QString& fullName);

    QTreeWidget* tvRights;

private:
    void addGrants(const QString& role, QTreeWidgetItem* functions, QTreeWidgetItem* books);
    void addRowPermissions(int roleId, const QString& role, QTreeWidgetItem* records);
};
