#include "TfrEmployees.h"

#include "TATreeDataCollectionItem.h"
#include "TDbUtilsClass.h"
#include "TDepartmentBox.h"
#include "TEditorButtons.h"
#include "TMemoryData.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct Box {
    QLineEdit* TfrEmployees::*edit;
    const char* field;
    const char* label;
    bool date;
};

const Box boxes[] = {{&TfrEmployees::DBEdit1, "LASTNAME", "&Фамилия:*", false},
                     {&TfrEmployees::DBEdit2, "FIRSTNAME", "&Имя:*", false},
                     {&TfrEmployees::DBEdit3, "MIDDLENAME", "&Отчество:", false},
                     {&TfrEmployees::DBEdit4, "LOCAL_CODE", "&Табельный номер:*", false},
                     {&TfrEmployees::DBEdit5, "POSITION", "&Должность:", false},
                     {&TfrEmployees::DBEdit6, "MARK_CIPHER", "&Шифр клейма:", false},
                     {&TfrEmployees::DBEdit7, "CERT_DATE", "Дата аттестации:", true},
                     {&TfrEmployees::DBEdit8, "CERT_PROTOCOL", "&Протокол ат. комиссии:", false},
                     {&TfrEmployees::DBEdit9, "HIRED", "П&ринят на работу:*", true},
                     {&TfrEmployees::DBEdit10, "FIRED", "Уволен:", true}};

} // namespace

TfrEmployees::TfrEmployees(TfrATypes& chooser, QWidget* parent) : TFrExtraAbstract(parent) {
    setObjectName(QStringLiteral("frEmployees"));
    setWindowTitle(QStringLiteral("Сотрудник"));
    auto* group = new QGroupBox(QStringLiteral(" Информация о сотруднике "), this);
    auto* form = new QFormLayout(group);
    dblkupUserInfo = new QComboBox(group);
    dblkupUserInfo->setObjectName(QStringLiteral("dblkupUserInfo"));
    form->addRow(QStringLiteral("Пользователь системы:*"), dblkupUserInfo);
    for (const Box& box : boxes) {
        auto* edit = new QLineEdit(group);
        edit->setObjectName(QString::fromLatin1(box.field));
        if (box.date)
            edit->setPlaceholderText(QStringLiteral("ДД.ММ.ГГГГ"));
        this->*box.edit = edit;
        form->addRow(QString::fromUtf8(box.label), edit);
    }
    edtDEPARTMENT = new QLineEdit(group);
    edtDEPARTMENT->setObjectName(QStringLiteral("edtDEPARTMENT"));
    edtDEPARTMENT->setReadOnly(true);
    bbtSubDivs = new QPushButton(QStringLiteral("..."), group);
    bbtSubDivs->setObjectName(QStringLiteral("bbtSubDivs"));
    auto* department = new QHBoxLayout;
    department->addWidget(edtDEPARTMENT, 1);
    department->addWidget(bbtSubDivs);
    FDepartment = std::make_unique<TDepartmentBox>(chooser, *edtDEPARTMENT);
    form->addRow(QStringLiteral("Подразделение:*"), department);
    auto* buttons =
        TEditorButtons::row(this, btnOk, QStringLiteral("btnOk"), btnCancel, QStringLiteral("btnCancel"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addLayout(buttons);
    resize(480, 520);
    connect(bbtSubDivs, &QPushButton::clicked, this, &TfrEmployees::bbtSubDivsClick);
    connect(btnOk, &QPushButton::clicked, this, &TfrEmployees::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrEmployees::~TfrEmployees() = default;

void TfrEmployees::LoadRecord(TMemoryData& record, bool firstShow) {
    FRecord = &record;
    for (const Box& box : boxes) {
        const TField* field = record.findField(QString::fromLatin1(box.field));
        (this->*box.edit)->setText(field ? field->displayText() : QString());
    }
    if (!firstShow)
        return;
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    const TField* user = record.findField(QStringLiteral("USER_INFO_ID"));
    QString users = QStringLiteral(
        "SELECT ID, UserSurnameNP UserName FROM UserInfo Where UserInfo.id not in (Select USER_INFO_ID from "
        "v_MSUL_EMPLOYEES where (DELETION_ID IS NULL) AND USER_INFO_ID is not NULL) ");
    if (user && !user->isNull())
        users += QStringLiteral(" Union SELECT ID, UserSurnameNP UserName FROM UserInfo Where id=") +
                 user->asString();
    users += QStringLiteral(" Order By 2");
    TMemoryData FUsers;
    db->loadQuery(FUsers, users);
    dblkupUserInfo->clear();
    for (FUsers.first(); !FUsers.eof(); FUsers.next())
        dblkupUserInfo->addItem(FUsers.fieldByName(QStringLiteral("UserName"))->asString(),
                                FUsers.fieldByName(QStringLiteral("ID"))->asInteger());
    dblkupUserInfo->setCurrentIndex(user && !user->isNull() ? dblkupUserInfo->findData(user->asInteger())
                                                            : -1);

    const TField* department = record.findField(QStringLiteral("DEPARTMENT_ID"));
    FDepartment->load(department ? department->value() : QVariant());
}

void TfrEmployees::bbtSubDivsClick() {
    const TATreeDataCollectionItem* item = FDepartment->choose();
    if (!item || !FRecord)
        return;
    if (TField* department = FRecord->findField(QStringLiteral("DEPARTMENT_ID")))
        department->setValue(item->fieldValue(QStringLiteral("ENTITY_ID")));
}

// The boxes are bound to the record: what they hold goes into it on "Применить". A value the
// record refuses (a date that is no date) is told and the form stays open.
void TfrEmployees::btnOkClick() {
    if (FRecord && FRecord->isEditing()) {
        if (!writeRecord([&] {
                if (TField* user = FRecord->findField(QStringLiteral("USER_INFO_ID")))
                    user->setValue(dblkupUserInfo->currentIndex() < 0 ? QVariant()
                                                                      : dblkupUserInfo->currentData());
                for (const Box& box : boxes) {
                    if (TField* field = FRecord->findField(QString::fromLatin1(box.field)))
                        field->setText((this->*box.edit)->text());
                }
            }))
            return;
    }
    accept();
}
