#pragma once

#include "TListFilterFrame.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QListWidget;
class QTreeWidget;
class TATreeDataCollection;

// The filter under the tariffs' list: by verification kinds, by instrument types (a group stands
// for all below it), by organisation and by status.
class TTariffFilterFrame : public TListFilterFrame {
    Q_OBJECT

public:
    enum Status { Valid = 0, NotValid = 1, All = 2 };

    explicit TTariffFilterFrame(QWidget* parent = nullptr);
    ~TTariffFilterFrame() override;

    QCheckBox* ckbxVrfType;
    QListWidget* lvVrfType;
    QCheckBox* ckbxMiTypes;
    QTreeWidget* tvAllTree;
    QComboBox* cmbxVrfOgr;
    QPushButton* btClearFilter;

    void btClearFilterClick();

protected:
    QString condition(int option) const override;

private:
    void tvAllTreeChange(const QList<class QTreeWidgetItem*>& selected,
                         const QList<QTreeWidgetItem*>& deselected);
    void addMenu(QWidget* target, std::function<void(bool)> markAll);

    std::unique_ptr<TATreeDataCollection> FMiTypesTree;
    bool m_following = false;
};
