#include "TfrCUSTOMER.h"

#include "OrtaUtils.h"
#include "TDbUtilsClass.h"
#include "TEditorButtons.h"
#include "TMemoryData.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

struct Row {
    const char* field;
    const char* label;
};

} // namespace

TfrCUSTOMER::TfrCUSTOMER(QWidget* parent) : TFrExtraAbstract(parent) {
    setObjectName(QStringLiteral("frCUSTOMER"));
    setWindowTitle(QStringLiteral("Реквизиты владельца СИ"));
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    auto addRows = [this](QWidget* page, QFormLayout* form, std::initializer_list<Row> rows) {
        for (const Row& row : rows) {
            auto* e = new QLineEdit(page);
            e->setObjectName(QString::fromLatin1(row.field));
            m_edits.emplace_back(QString::fromLatin1(row.field), e);
            form->addRow(QString::fromUtf8(row.label), e);
        }
    };
    auto* main = new QWidget(PageControl1);
    main->setObjectName(QStringLiteral("TabSheet1"));
    auto* mainForm = new QFormLayout(main);
    addRows(main, mainForm,
            {{"LOCAL_CODE", "&Локальный код:"}, {"CUSTOMER_NAME", "&Наименование владельца:"}});
    DBEdit5 = new QComboBox(main);
    DBEdit5->setObjectName(QStringLiteral("DBEdit5"));
    mainForm->addRow(QStringLiteral("&Тип владельца:"), DBEdit5);
    addRows(main, mainForm, {{"INN", "&ИНН:"}, {"KPP", "КПП:"}, {"OKPO", "&ОКПО:"}, {"OKONH", "О&КВЭД:"}});
    DBEdit7 = new QComboBox(main);
    DBEdit7->setObjectName(QStringLiteral("DBEdit7"));
    DBEdit7->setEditable(true); // typing opens the list at the matching code
    auto* okatoView = new QTableView(DBEdit7);
    okatoView->setSelectionBehavior(QAbstractItemView::SelectRows);
    okatoView->verticalHeader()->hide();
    okatoView->setMinimumWidth(300);
    DBEdit7->setView(okatoView);
    mainForm->addRow(QStringLiteral("О&КАТО:"), DBEdit7);
    PageControl1->addTab(main, QStringLiteral("Основные"));

    auto* contacts = new QWidget(PageControl1);
    contacts->setObjectName(QStringLiteral("TabSheet2"));
    auto* contactsLayout = new QVBoxLayout(contacts);
    auto address = [&](const QString& title, const char* postcode, const char* addressField,
                       const char* region) {
        auto* group = new QGroupBox(title, contacts);
        auto* form = new QFormLayout(group);
        addRows(group, form,
                {{postcode, "&Почтовый индекс:"},
                 {addressField, "&Адрес:"},
                 {region, "&Регион (город, субъект РФ):"}});
        contactsLayout->addWidget(group);
    };
    address(QStringLiteral(" Юридический адрес "), "POSTCODE", "ADDRESS", "REGION");
    address(QStringLiteral(" Фактический адрес "), "POSTCODE_FACT", "ADDRESS_FACT", "REGION_FACT");
    auto* other = new QFormLayout;
    contactsLayout->addLayout(other);
    addRows(contacts, other,
            {{"PHONE", "&Телефон:"},
             {"FAX", "&Факс:"},
             {"E_MAIL", "&Электронная почта:"},
             {"DIRECTOR_POSITION", "До&лжость руководителя:"},
             {"DIRECTOR", "Ф&ИО руководителя:"},
             {"CONTACT_PERSON", "&Контактное лицо:"},
             {"CONTACT_PHONE", "Ко&нтактный телефон:"}});
    PageControl1->addTab(contacts, QStringLiteral("Контакты"));

    auto* buttons =
        TEditorButtons::row(this, btnOk, QStringLiteral("btnOk"), btnCancel, QStringLiteral("btnCancel"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);
    resize(520, 560);
    connect(btnOk, &QPushButton::clicked, this, &TfrCUSTOMER::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit* TfrCUSTOMER::edit(const QString& field) const {
    for (const auto& [name, e] : m_edits) {
        if (name.compare(field, Qt::CaseInsensitive) == 0)
            return e;
    }
    return nullptr;
}

void TfrCUSTOMER::LoadRecord(TMemoryData& record, bool firstShow) {
    FRecord = &record;
    for (const auto& [name, e] : m_edits) {
        const TField* field = record.findField(name);
        e->setText(field ? field->asString() : QString());
        if (field && field->size() > 0)
            e->setMaxLength(field->size());
    }
    if (!firstShow)
        return;
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    TMemoryData types;
    db->loadQuery(types,
                  QStringLiteral("SELECT ID, SName FROM v_MSUL_CUSTOMER_TYPE WHERE (DELETION_ID IS NULL)"));
    DBEdit5->clear();
    for (types.first(); !types.eof(); types.next())
        DBEdit5->addItem(types.fieldByName(QStringLiteral("SName"))->asString(),
                         types.fieldByName(QStringLiteral("ID"))->asInteger());
    const TField* type = record.findField(QStringLiteral("CUSTOMER_TYPE_ID"));
    DBEdit5->setCurrentIndex(type && !type->isNull() ? DBEdit5->findData(type->asInteger()) : -1);

    TMemoryData okato;
    db->loadQuery(
        okato, QStringLiteral(
                   "SELECT ID, OKATO_CODE,OKATO_NAME,COMMENT FROM v_MSUL_OKATO WHERE (DELETION_ID IS NULL)"));
    auto* model = new QStandardItemModel(0, 3, DBEdit7);
    model->setHorizontalHeaderLabels(
        {QStringLiteral("Код ОКАТО"), QStringLiteral("Название региона"), QStringLiteral("Примечания")});
    for (okato.first(); !okato.eof(); okato.next()) {
        QList<QStandardItem*> row;
        for (const char* column : {"OKATO_CODE", "OKATO_NAME", "COMMENT"})
            row << new QStandardItem(okato.fieldByName(QString::fromLatin1(column))->asString());
        model->appendRow(row);
    }
    DBEdit7->setModel(model); // the combo box deletes the model it made itself
    DBEdit7->setModelColumn(0);
    const TField* code = record.findField(QStringLiteral("OKATO"));
    DBEdit7->setCurrentIndex(code && !code->isNull() ? DBEdit7->findText(code->asString()) : -1);
    if (DBEdit7->currentIndex() < 0)
        DBEdit7->setEditText(code ? code->asString() : QString());
    PageControl1->setCurrentIndex(0);
}

void TfrCUSTOMER::btnOkClick() {
    if (FRecord && FRecord->isEditing()) {
        if (!writeRecord([&] {
                for (const auto& [name, e] : m_edits) {
                    if (TField* field = FRecord->findField(name))
                        field->setText(e->text());
                }
                if (TField* type = FRecord->findField(QStringLiteral("CUSTOMER_TYPE_ID")))
                    type->setValue(DBEdit5->currentIndex() < 0 ? QVariant() : DBEdit5->currentData());
                if (TField* okato = FRecord->findField(QStringLiteral("OKATO")))
                    okato->setText(DBEdit7->currentText().trimmed());
            }))
            return;
    }
    accept();
}
