#include "TfrVrfOrg.h"

#include "EAbort.h"
#include "OrtaUtils.h"
#include "TDBGrid.h"
#include "TDBNavigator.h"
#include "TDbUtilsClass.h"
#include "TEditorButtons.h"
#include "TGridKeys.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The record's own text fields and the boxes that edit them.
const char* const textFields[] = {"sname",           "KOD",          "Director", "Bookkeeper",
                                  "PhysicalAddress", "LegalAddress", "BankProp"};

constexpr int noteLength = 50;

} // namespace

TfrVrfOrg::TfrVrfOrg(QWidget* parent) : TFrExtraAbstract(parent) {
    setObjectName(QStringLiteral("frVrfOrg"));
    setWindowTitle(QStringLiteral("Организация-поверитель"));
    auto edit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    DBEdit1 = edit("DBEdit1");
    DBEdit2 = edit("DBEdit2");
    DBLookupComboBox1 = new QComboBox(this);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBEdit3 = edit("DBEdit3");
    DBEdit4 = edit("DBEdit4");
    DBEdit5 = edit("DBEdit5");
    DBEdit6 = edit("DBEdit6");
    DBEdit7 = edit("DBEdit7");
    DBMemo1 = new QPlainTextEdit(this);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->setMaximumHeight(60);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Наименование*"), DBEdit1);
    form->addRow(QStringLiteral("Код"), DBEdit2);
    form->addRow(QStringLiteral("Собственная поверка:"), DBLookupComboBox1);
    form->addRow(QStringLiteral("ФИО Директора"), DBEdit3);
    form->addRow(QStringLiteral("ФИО Главного бухгалтера"), DBEdit4);
    form->addRow(QStringLiteral("Физический адрес"), DBEdit5);
    form->addRow(QStringLiteral("Юридический адрес"), DBEdit6);
    form->addRow(QStringLiteral("Банковские реквизиты"), DBEdit7);
    form->addRow(QStringLiteral("Примечание"), DBMemo1);

    auto* vat = new QGroupBox(QStringLiteral(" Ставка НДС "), this);
    rxmdVATHistory.setObjectName(QStringLiteral("rxmdVATHistory"));
    rxmdVATHistory.addField(QStringLiteral("VATId"), TFieldType::Integer)->visible = false;
    TField* value =
        rxmdVATHistory.addField(QStringLiteral("VATValue"), TFieldType::Float, 0, TFieldKind::Lookup);
    value->keyFields = QStringLiteral("VATId");
    value->lookupKeyFields = QStringLiteral("id");
    value->lookupResultField = QStringLiteral("VATValue");
    value->lookupDataSet = &FVATList;
    value->setDisplayLabel(QStringLiteral("НДС"));
    value->required = true;
    TField* date = rxmdVATHistory.addField(QStringLiteral("VATDate"), TFieldType::DateTime);
    date->setDisplayLabel(QStringLiteral("Дата"));
    date->required = true;
    DBGridEh1 = new TDBGrid(&rxmdVATHistory, vat);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setColumnHidden(rxmdVATHistory.fieldByName(QStringLiteral("VATId"))->index(), true);
    historyNavigator = new TDBNavigator(&rxmdVATHistory, vat);
    historyNavigator->setVisibleButtons({TDBNavigator::nbInsert, TDBNavigator::nbDelete, TDBNavigator::nbEdit,
                                         TDBNavigator::nbPost, TDBNavigator::nbCancel});
    new TGridKeys(DBGridEh1, historyNavigator);
    auto* vatLayout = new QVBoxLayout(vat);
    vatLayout->addWidget(DBGridEh1, 1);
    vatLayout->addWidget(historyNavigator);

    auto* buttons =
        TEditorButtons::row(this, BitBtn1, QStringLiteral("BitBtn1"), CanselBtn, QStringLiteral("CanselBtn"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(vat, 1);
    layout->addLayout(buttons);
    resize(560, 620);

    rxmdVATHistory.events().beforePost = [this](TMemoryData& data) {
        if (!FLoading && !checkRequiredFields(data))
            throw EAbort();
    };
    // The rate's drop-down is there while a history row is edited.
    rxmdVATHistory.events().afterInsert = [this](TMemoryData&) {
        setHistoryEditing(true);
    };
    rxmdVATHistory.events().afterEdit = [this](TMemoryData&) {
        setHistoryEditing(true);
    };
    rxmdVATHistory.events().afterPost = [this](TMemoryData&) {
        setHistoryEditing(false);
    };
    rxmdVATHistory.events().afterCancel = [this](TMemoryData&) {
        setHistoryEditing(false);
    };
    connect(BitBtn1, &QPushButton::clicked, this, &TfrVrfOrg::BitBtn1Click);
    connect(CanselBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrVrfOrg::setHistoryEditing(bool on) {
    if (!FLoading)
        DBGridEh1->setEditButtons(on);
}

void TfrVrfOrg::LoadRecord(TMemoryData& record, bool firstShow) {
    FRecord = &record;
    FOrgId = record.fieldByName(QStringLiteral("id"))->asInteger();
    QLineEdit* boxes[] = {DBEdit1, DBEdit2, DBEdit3, DBEdit4, DBEdit5, DBEdit6, DBEdit7};
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        const TField* field = record.findField(QString::fromLatin1(textFields[i]));
        boxes[i]->setText(field ? field->asString() : QString());
        if (field && field->size() > 0)
            boxes[i]->setMaxLength(field->size());
    }
    const TField* note = record.findField(QStringLiteral("Note"));
    DBMemo1->setPlainText(note ? note->asString().left(noteLength) : QString());
    if (!firstShow)
        return;
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    TMemoryData booleans;
    db->loadQuery(booleans, QStringLiteral("SELECT * FROM LookUpBoolean ORDER BY sname"));
    DBLookupComboBox1->clear();
    for (booleans.first(); !booleans.eof(); booleans.next())
        DBLookupComboBox1->addItem(booleans.fieldByName(QStringLiteral("SName"))->asString(),
                                   booleans.fieldByName(QStringLiteral("BId"))->asInteger() != 0);
    const TField* own = record.findField(QStringLiteral("OwnTesting"));
    DBLookupComboBox1->setCurrentIndex(
        own && !own->isNull() ? DBLookupComboBox1->findData(own->asInteger() != 0) : -1);
    db->loadQuery(FVATList, QStringLiteral("SELECT id, VATValue FROM VAT Order by VATValue"));
    rxmdVATHistory.close();
    rxmdVATHistory.open();
    FLoading = true;
    try {
        auto history = db->openQuery(QStringLiteral("select VATId, VATDate from VATHistory where VrfOrgId=") +
                                     QString::number(FOrgId) + QStringLiteral(" Order By VATDate"));
        for (; !history->eof(); history->next())
            rxmdVATHistory.appendRecord({history->value(0), history->value(1)});
    } catch (...) {
        FLoading = false;
        throw;
    }
    FLoading = false;
    rxmdVATHistory.first();
}

void TfrVrfOrg::BitBtn1Click() {
    if (FRecord && FRecord->isEditing()) {
        try {
            if (TField* own = FRecord->findField(QStringLiteral("OwnTesting")))
                own->setValue(DBLookupComboBox1->currentIndex() < 0
                                  ? QVariant()
                                  : QVariant(DBLookupComboBox1->currentData().toBool() ? 1 : 0));
            QLineEdit* boxes[] = {DBEdit1, DBEdit2, DBEdit3, DBEdit4, DBEdit5, DBEdit6, DBEdit7};
            for (std::size_t i = 0; i < std::size(boxes); ++i) {
                if (TField* field = FRecord->findField(QString::fromLatin1(textFields[i])))
                    field->setValue(boxes[i]->text());
            }
            if (TField* note = FRecord->findField(QStringLiteral("Note")))
                note->setValue(DBMemo1->toPlainText().left(noteLength));
        } catch (const std::exception&) {
            reject();
            return;
        }
    }
    if (rxmdVATHistory.isEditing()) {
        try {
            rxmdVATHistory.post();
        } catch (const std::exception&) {
            return; // the check has told the user; the form stays open
        }
    }
    accept();
}

bool TfrVrfOrg::AfterSave(TATreeDataCollectionItem* /*nodeData*/) {
    if (FOrgId < 1)
        FOrgId = FRecord->fieldByName(QStringLiteral("id"))->asInteger();
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    db->runSQL(QStringLiteral("DELETE FROM VATHistory WHERE VrfOrgId=") + QString::number(FOrgId));
    const TField* vat = rxmdVATHistory.fieldByName(QStringLiteral("VATId"));
    const TField* date = rxmdVATHistory.fieldByName(QStringLiteral("VATDate"));
    for (int recNo = 1; recNo <= rxmdVATHistory.recordCount(); ++recNo) {
        rxmdVATHistory.setRecNo(recNo);
        db->runSQL(QStringLiteral("INSERT INTO VATHistory ( VrfOrgId,VATId,VATDate) VALUES(") +
                   QString::number(FOrgId) + QLatin1Char(',') + vat->asString() + QLatin1Char(',') +
                   (date->isNull() ? QStringLiteral("NULL") : db->dateLiteral(date->asDateTime())) +
                   QLatin1Char(')'));
    }
    return true;
}
