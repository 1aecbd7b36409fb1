#include "TfrmReportsSelect.h"

#include "OrtaUtils.h"
#include "TButtonRow.h"
#include "TDbUtilsClass.h"
#include "TUserInteraction.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TfrmReportsSelect::TfrmReportsSelect(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmReportsSelect"));
    setWindowTitle(QStringLiteral("Выберите отчеты"));
    auto* layout = new QVBoxLayout(this);
    // The procedure is the box's name without "chk"; the tag 1 runs the template's macro.
    auto report = [this, layout](const char* name, const char* caption, int tag) {
        auto* box = new QCheckBox(QString::fromUtf8(caption), this);
        box->setObjectName(QString::fromUtf8(name));
        box->setProperty("tag", tag);
        layout->addWidget(box);
        m_reports << box;
        return box;
    };
    chkRep_RightsUserForMiTypes = report("chkRep_RightsUserForMiTypes", "Типы СИ", 1);
    chkRep_RightsUserForPassportState = report("chkRep_RightsUserForPassportState", "Состояние СИ", 0);
    chkRep_RightsUserForDivisions = report("chkRep_RightsUserForDivisions", "Подразделения", 1);
    const TButtonRow buttons(layout, this, "btnOk", QStringLiteral("OK"), "btnCancel",
                             QStringLiteral("Отменить"));
    btnOk = buttons.confirm;
    btnCancel = buttons.cancel;
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(btnOk, &QPushButton::clicked, this, &TfrmReportsSelect::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

int TfrmReportsSelect::Execute() {
    return TUserInteraction::instance().showModal(this);
}

void TfrmReportsSelect::btnOkClick() {
    bool any = false;
    try {
        TDbUtilsClass* db = TDbUtilsClass::getInstance();
        for (QCheckBox* box : m_reports) {
            if (!box->isChecked())
                continue;
            any = true;
            // The name travels as a quoted literal: an apostrophe in it is a name, not SQL.
            const QString sql = db->execText(QStringLiteral("exec ") + box->objectName().mid(3) +
                                             QLatin1Char(' ') + TDbUtilsClass::stringLiteral(UserName));
            Filler.runReport(sql, box->text(), box->text().toLower(), box->property("tag").toInt() == 1);
        }
    } catch (const std::exception& e) {
        TUserInteraction::instance().messageBox(QStringLiteral("Ошибка вывода отчета в MS Excel: ") +
                                                    QString::fromUtf8(e.what()),
                                                TMessageKind::Error, TMsgButtons::Ok);
        return;
    }
    if (!any) {
        TUserInteraction::instance().titledMessageBox(QStringLiteral("Выберите отчет"), TMessageKind::Error,
                                                      TMsgButtons::Ok, QStringLiteral("Ошибка"), 0);
        return;
    }
    accept();
}
