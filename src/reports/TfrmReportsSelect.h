#pragma once

#include "TTemplateFiller.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QPushButton;

// "Выберите отчеты": the rights reports of one user, each poured into its own workbook.
class TfrmReportsSelect : public QDialog {
    Q_OBJECT

public:
    explicit TfrmReportsSelect(QWidget* parent = nullptr);

    // The user's name (UserInfo.userSurnameNP) the reports are made for.
    QString UserName;
    int Execute();

    QCheckBox* chkRep_RightsUserForMiTypes;
    QCheckBox* chkRep_RightsUserForPassportState;
    QCheckBox* chkRep_RightsUserForDivisions;
    QPushButton* btnOk;
    QPushButton* btnCancel;
    TTemplateFiller Filler;

private:
    void btnOkClick();

    QList<QCheckBox*> m_reports;
};
