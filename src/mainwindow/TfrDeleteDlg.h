#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class QButtonGroup;
class QPlainTextEdit;
class QPushButton;
class TATreeDataCollection;
class TfrATypes;

// "Удаление записи": what becomes of the subordinate records of a record being deleted.
class TfrDeleteDlg : public QDialog {
    Q_OBJECT

public:
    enum Option { MoveUp = 0, DeleteAll = 1, MoveTo = 2 };

    TfrDeleteDlg(TfrATypes& chooser, QWidget* parent = nullptr);
    ~TfrDeleteDlg() override;

    // Shows the options for a record of the book described by descriptionFile; the target chooser
    // offers the records readable allows. A non-OK result without showing when the book cannot be
    // loaded.
    int ShowFor(const QString& descriptionFile, qint32 recordId, std::function<bool(qint32)> readable = {});
    int option() const;
    // The chosen target for option 2 (-1 when none was chosen), otherwise -2.
    qint32 target() const;
    void chooseTarget();

    QButtonGroup* rGr;
    QPlainTextEdit* mem;
    QPushButton* bbtTree;
    QPushButton* BitBtn3;
    QPushButton* CanselBtn;

private:
    void optionChanged();

    TfrATypes& m_chooser;
    std::unique_ptr<TATreeDataCollection> m_tree;
    qint32 m_target = -1;
};
