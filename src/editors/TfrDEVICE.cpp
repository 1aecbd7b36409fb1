#include "TfrDEVICE.h"

#include "EError.h"
#include "OrtaUtils.h"
#include "RecordCopy.h"
#include "TATreeDataCollectionItem.h"
#include "TDbUtilsClass.h"
#include "TDepartmentBox.h"
#include "TEditorButtons.h"
#include "TFormCodiff.h"
#include "TFormGosReestr.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

struct Box {
    QLineEdit* TfrDEVICE::*edit;
    const char* column;
    const char* label;
    int page;
    bool readOnly;
};

const Box boxes[] = {
    {&TfrDEVICE::DBEdit1, "DEVICE_NAME", "Наименование СИ:", 0, false},
    {&TfrDEVICE::DBEdit3, "TYPE_STR", "Тип СИ:", 0, true},
    {&TfrDEVICE::DBEdit6, "DEVICE_MARK", "Модификация СИ:", 0, false},
    {&TfrDEVICE::DBEdit8, "DEV_CODE", "Локальный код:", 0, false},
    {&TfrDEVICE::DBEdit18, "GOS_NO", "Номер по Гос. Реестру:", 1, true},
    {&TfrDEVICE::DBEdit19, "LOCAL_COMMENT", "Локальный комментарий:", 1, false},
    {&TfrDEVICE::DBEdit2, "TIME_NORMA", "Норма времени: (в часах)", 2, false},
    {&TfrDEVICE::DBEdit5, "MASS", "Масса СИ кг.:", 2, false},
    {&TfrDEVICE::DBEdit7, "PERIOD", "Межповерочный интервал мес.:", 2, false},
    {&TfrDEVICE::DBEdit9, "METHOD", "НД по поверке:", 2, false},
    {&TfrDEVICE::DBEdit10, "ORIGINAL_PERIOD", "Межповерочный интервал из Гос. Реестра:", 2, true}};

const char* const markTypes[] = {"Наклейка на СИ", "Наклейка на свидетельство", "Наклейка на документацию",
                                 "Клеймо (в виде оттиска)"};

// A box the user cannot type into looks like it: the button face instead of the window colour.
void setEditable(QLineEdit& edit, bool editable) {
    edit.setReadOnly(!editable);
    QPalette palette = edit.palette();
    palette.setColor(QPalette::Base,
                     edit.style()->standardPalette().color(editable ? QPalette::Base : QPalette::Button));
    edit.setPalette(palette);
}

bool isEmpty(const QVariant& value) {
    return !value.isValid() || value.isNull() || value.toString().trimmed().isEmpty();
}

} // namespace

TfrDEVICE::TfrDEVICE(TfrATypes& chooser, TFormGosReestr& gosReestr, TFormCodiff& codiff, QWidget* parent)
    : TFrExtraAbstract(parent), m_gosReestr(gosReestr), m_codiff(codiff) {
    setObjectName(QStringLiteral("frDEVICE"));
    setWindowTitle(QStringLiteral("Информация о СИ"));
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    tsGeneral = new QWidget;
    tsGeneral->setObjectName(QStringLiteral("tsGeneral"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    PageControl1->addTab(tsGeneral, QStringLiteral("Общие"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Классификация"));
    PageControl1->addTab(TabSheet3, QStringLiteral("Поверочные"));
    QFormLayout* forms[] = {new QFormLayout(tsGeneral), new QFormLayout(TabSheet2),
                            new QFormLayout(TabSheet3)};
    auto lineEdit = [this](const char* name, QWidget* page) {
        auto* edit = new QLineEdit(page);
        edit->setObjectName(QString::fromLatin1(name));
        return edit;
    };
    for (const Box& box : boxes) {
        QWidget* page = PageControl1->widget(box.page);
        QLineEdit* edit = lineEdit(box.column, page);
        setEditable(*edit, !box.readOnly);
        this->*box.edit = edit;
        if (box.page == 0 && box.edit == &TfrDEVICE::DBEdit8) {
            DBEdit4 = new QComboBox(page);
            DBEdit4->setObjectName(QStringLiteral("DBEdit4"));
            forms[0]->addRow(QStringLiteral("Область измерений:"), DBEdit4);
        }
        if (box.page == 1 && box.edit == &TfrDEVICE::DBEdit18) {
            DBEdit16 = lineEdit("DBEdit16", page);
            DBEdit17 = lineEdit("DBEdit17", page);
            setEditable(*DBEdit16, false);
            setEditable(*DBEdit17, false);
            DBEdit16->setMaximumWidth(48);
            btnCodiff = new QPushButton(QStringLiteral("..."), page);
            btnCodiff->setObjectName(QStringLiteral("btnCodiff"));
            auto* row = new QHBoxLayout;
            row->addWidget(DBEdit16);
            row->addWidget(DBEdit17, 1);
            row->addWidget(btnCodiff);
            forms[1]->addRow(QStringLiteral("Код по кодификатору:"), row);
        }
        forms[box.page]->addRow(QString::fromUtf8(box.label), edit);
    }
    edtDEPARTMENT = lineEdit("edtDEPARTMENT", TabSheet3);
    setEditable(*edtDEPARTMENT, false);
    bbtSubDivs = new QPushButton(QStringLiteral("..."), TabSheet3);
    bbtSubDivs->setObjectName(QStringLiteral("bbtSubDivs"));
    auto* department = new QHBoxLayout;
    department->addWidget(edtDEPARTMENT, 1);
    department->addWidget(bbtSubDivs);
    forms[2]->addRow(QStringLiteral("Номер подразделения:"), department);
    DBComboBoxEh1 = new QComboBox(TabSheet3);
    DBComboBoxEh1->setObjectName(QStringLiteral("DBComboBoxEh1"));
    for (int i = 0; i < 4; ++i)
        DBComboBoxEh1->addItem(QString::fromUtf8(markTypes[i]), i + 1);
    forms[2]->addRow(QStringLiteral("Вид клейма:"), DBComboBoxEh1);
    FDepartment = std::make_unique<TDepartmentBox>(chooser, *edtDEPARTMENT);

    btGos = new QPushButton(QStringLiteral("На основе Гос. Реестра"), this);
    btGos->setObjectName(QStringLiteral("btGos"));
    auto* top = new QHBoxLayout;
    top->addWidget(btGos);
    top->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(
        TEditorButtons::row(this, btnOk, QStringLiteral("btnOk"), btnCancel, QStringLiteral("btnCancel")));
    resize(620, 420);
    connect(btGos, &QPushButton::clicked, this, &TfrDEVICE::btGosClick);
    connect(btnCodiff, &QPushButton::clicked, this, &TfrDEVICE::btnCodiffClick);
    connect(DBEdit4, &QComboBox::activated, this, &TfrDEVICE::DBEdit4Click);
    connect(bbtSubDivs, &QPushButton::clicked, this, &TfrDEVICE::bbtSubDivsClick);
    connect(btnOk, &QPushButton::clicked, this, &TfrDEVICE::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrDEVICE::~TfrDEVICE() = default;

QVariant TfrDEVICE::value(const char* column) const {
    const TField* field = FRecord ? FRecord->findField(QString::fromLatin1(column)) : nullptr;
    return field ? field->value() : QVariant();
}

void TfrDEVICE::setValue(const char* column, const QVariant& value) {
    if (TField* field = FRecord ? FRecord->findField(QString::fromLatin1(column)) : nullptr)
        field->setValue(value);
}

void TfrDEVICE::LoadRecord(TMemoryData& record, bool firstShow) {
    FRecord = &record;
    if (record.state() == TDataSetState::Edit &&
        !record.fieldByName(QStringLiteral("LOCAL_FLAG"))->asBoolean())
        throw EError(QStringLiteral("Нельзя редактировать записи центрального справочника!"));
    if (!firstShow) {
        showRecord();
        return;
    }
    TDbUtilsClass::getInstance()->loadQuery(
        FMeasureTypes,
        QStringLiteral("SELECT MEASURE_TYPE_CODE_ID ID, MEASURE_TYPE_NAME SName, MEASURE_TYPE_CODE "
                       "Code FROM v_MSUL_MEASURE_TYPE WHERE (DELETION_ID IS NULL)"));
    DBEdit4->clear();
    for (FMeasureTypes.first(); !FMeasureTypes.eof(); FMeasureTypes.next())
        DBEdit4->addItem(FMeasureTypes.fieldByName(QStringLiteral("SName"))->asString(),
                         FMeasureTypes.fieldByName(QStringLiteral("ID"))->asInteger());
    FDepartment->load(value("DEFAULT_DEPARTMENT"));
    setValue("LOCAL_FLAG", true);
    showRecord();
    PageControl1->setCurrentWidget(tsGeneral);
}

bool TfrDEVICE::pull() {
    if (!FRecord || !FRecord->isEditing())
        return true;
    return writeRecord([this] {
        for (const Box& box : boxes) {
            QLineEdit* edit = this->*box.edit;
            if (!edit->isReadOnly())
                if (TField* field = FRecord->findField(QString::fromLatin1(box.column)))
                    field->setText(edit->text());
        }
        if (DBEdit4->isEnabled())
            setValue("MEASURE_TYPE_CODE_ID",
                     DBEdit4->currentIndex() < 0 ? QVariant() : DBEdit4->currentData());
        setValue("MARK_TYPE_ID",
                 DBComboBoxEh1->currentIndex() < 0 ? QVariant() : DBComboBoxEh1->currentData());
    });
}

void TfrDEVICE::showRecord() {
    for (const Box& box : boxes) {
        const TField* field = FRecord->findField(QString::fromLatin1(box.column));
        (this->*box.edit)->setText(field ? field->displayText() : QString());
        (this->*box.edit)->setCursorPosition(0);
    }
    const QVariant area = value("MEASURE_TYPE_CODE_ID");
    DBEdit4->setCurrentIndex(area.isNull() ? -1 : DBEdit4->findData(area.toInt()));
    const QVariant mark = value("MARK_TYPE_ID");
    DBComboBoxEh1->setCurrentIndex(mark.isNull() ? -1 : DBComboBoxEh1->findData(mark.toInt()));
    UpdateLockState();
    ShowCodifier();
}

// A record taken from the central register keeps the register's name and area.
void TfrDEVICE::UpdateLockState() {
    const bool free = value("CENTER_ID").isNull();
    setEditable(*DBEdit1, free);
    DBEdit4->setEnabled(free);
    btnCodiff->setVisible(free);
}

void TfrDEVICE::ShowCodifier() {
    const QString code = value("CODIFF").toString();
    DBEdit16->setText(code.left(2));
    DBEdit17->setText(code.mid(2));
}

void TfrDEVICE::btGosClick() {
    if (!pull())
        return;
    if (m_gosReestr.PickCentralRecord(value("CENTER_ID").toInt()) != QDialog::Accepted)
        return;
    TMemoryData& chosen = m_gosReestr.RxMemData;
    copyNamedFields(
        *FRecord, chosen,
        QStringLiteral("DEVICE_NAME;TYPE_STR;DEVICE_MARK;MEASURE_TYPE_CODE_ID;GOS_NO;ORIGINAL_PERIOD;"
                       "ORIGINAL_CODIFF;CODIFF;METHOD"));
    for (const char* column : {"PERIOD", "MARK_TYPE_ID"}) {
        const TField* field = chosen.findField(QString::fromLatin1(column));
        if (field && !field->isNull())
            setValue(column, field->value());
    }
    // A central row names its own record number; one without it is its own identity.
    const QVariant center = chosen.fieldByName(QStringLiteral("CENTER_ID"))->value();
    setValue("CENTER_ID", center.isNull() ? chosen.fieldByName(QStringLiteral("DT_ID"))->value() : center);
    showRecord();
    chosen.emptyTable();
}

void TfrDEVICE::btnCodiffClick() {
    if (!pull())
        return;
    if (m_codiff.PickCodifier(value("CODIFF").toString()) != QDialog::Accepted)
        return;
    TMemoryData& chosen = m_codiff.RxMemData;
    setValue("ORIGINAL_CODIFF", chosen.fieldByName(QStringLiteral("ORIGINAL_CODIFF_CODE"))->value());
    setValue("CODIFF", chosen.fieldByName(QStringLiteral("CODIFF_CODE"))->value());
    ShowCodifier();
    if (FMeasureTypes.locate(QStringLiteral("Code"), DBEdit16->text())) {
        setValue("MEASURE_TYPE_CODE_ID", FMeasureTypes.fieldByName(QStringLiteral("ID"))->value());
        showRecord();
    } else {
        showRecord();
        errorBox(QStringLiteral("Поле \"Область измерений\" не может быть сопоставленно с кодификатором."));
        PageControl1->setCurrentWidget(tsGeneral);
        DBEdit4->setFocus();
    }
    chosen.emptyTable();
}

// The area's own codifier code goes with the area chosen.
void TfrDEVICE::DBEdit4Click() {
    if (!DBEdit4->isEnabled() || !pull())
        return;
    TDbUtilsClass::getInstance()->loadQuery(
        RxMemData,
        QStringLiteral("SELECT CODIFF_CODE_ID,ORIGINAL_CODIFF_CODE, CODIFF_CODE, MEASURE_TYPE_NAME FROM "
                       "v_MSUL_CODIFF WHERE (DELETION_ID IS NULL)"));
    const QVariant area = value("MEASURE_TYPE_CODE_ID");
    if (area.isNull() || !FMeasureTypes.locate(QStringLiteral("ID"), area))
        return;
    if (RxMemData.locate(QStringLiteral("CODIFF_CODE"),
                         FMeasureTypes.fieldByName(QStringLiteral("Code"))->value())) {
        setValue("ORIGINAL_CODIFF", RxMemData.fieldByName(QStringLiteral("ORIGINAL_CODIFF_CODE"))->value());
        setValue("CODIFF", RxMemData.fieldByName(QStringLiteral("CODIFF_CODE"))->value());
    } else {
        setValue("ORIGINAL_CODIFF", QVariant());
        setValue("CODIFF", QVariant());
    }
    ShowCodifier();
}

void TfrDEVICE::bbtSubDivsClick() {
    const TATreeDataCollectionItem* item = FDepartment->choose();
    if (!item || !FRecord)
        return;
    setValue("DEPARTMENT_NAME", item->fieldValue(QStringLiteral("fname")));
    setValue("DEFAULT_DEPARTMENT", item->fieldValue(QStringLiteral("ENTITY_ID")));
}

void TfrDEVICE::btnOkClick() {
    if (!pull())
        return;
    struct Required {
        const char* column;
        const char* message;
        QWidget* page;
        QWidget* control;
    };
    const Required required[] = {
        {"DEVICE_NAME", "Поле \"Наименование СИ\" должно быть заполнено!", tsGeneral, DBEdit1},
        {"DEVICE_MARK", "Поле \"Модификация СИ\" должно быть заполнено!", tsGeneral, DBEdit6},
        {"MEASURE_TYPE_CODE_ID", "Поле \"Область измерений\" должно быть заполнено!", tsGeneral, DBEdit4},
        {"MARK_TYPE_ID", "Поле \"Вид клейма\" должно быть заполнено!", TabSheet3, DBComboBoxEh1},
        {"CODIFF", "Поле \"Кодификатор\" должно быть заполнено!", TabSheet2, DBEdit16}};
    for (const Required& r : required) {
        if (isEmpty(value(r.column))) {
            errorBox(QString::fromUtf8(r.message));
            PageControl1->setCurrentWidget(r.page);
            r.control->setFocus();
            return;
        }
    }
    ResultType = DBEdit3->text();
    ResultMark = DBEdit6->text();
    accept();
}
