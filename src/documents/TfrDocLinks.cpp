#include "TfrDocLinks.h"

#include "EError.h"
#include "OrtaUtils.h"
#include "TATreeDataCollection.h"
#include "TATreeDataCollectionItem.h"
#include "TDBGrid.h"
#include "TDbUtilsClass.h"
#include "TDocumentStore.h"
#include "TUserInteraction.h"
#include "TdmDataBase.h"
#include "TfrATypes.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TfrDocLinks::TfrDocLinks(TfrATypes& chooser, QWidget* parent) : QDialog(parent), m_chooser(chooser) {
    setObjectName(QStringLiteral("frDocLinks"));
    setWindowTitle(QStringLiteral("Связи с типами СИ(СА)"));
    resize(560, 360);
    rxmdPassList.setObjectName(QStringLiteral("rxmdPassList"));
    DBGridEh1 = new TDBGrid(&rxmdPassList, this);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGridEh1->setSelectionBehavior(QAbstractItemView::SelectRows);
    btnAdd = new QPushButton(QStringLiteral("Добавить"), this);
    btnAdd->setObjectName(QStringLiteral("btnAdd"));
    btnDelete = new QPushButton(QStringLiteral("Удалить"), this);
    btnDelete->setObjectName(QStringLiteral("btnDelete"));
    btnOk = new QPushButton(QStringLiteral("Применить"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    BitBtn2 = new QPushButton(QStringLiteral("Отменить"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnAdd);
    buttons->addWidget(btnDelete);
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGridEh1, 1);
    layout->addLayout(buttons);
    connect(btnAdd, &QPushButton::clicked, this, &TfrDocLinks::btnAddClick);
    connect(btnDelete, &QPushButton::clicked, this, &TfrDocLinks::btnDeleteClick);
    connect(btnOk, &QPushButton::clicked, this, &TfrDocLinks::btnOkClick);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

int TfrDocLinks::ShowForDocument(int docId) {
    FChanges.clear();
    m_docId = docId;
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    try {
        connection.beginTransaction();
        TDocumentStore::lockDocument(docId);
    } catch (const std::exception& e) {
        rollbackIfOpen();
        errorBoxWith(QStringLiteral("Ошибка получения данных."), e);
        return QDialog::Rejected;
    }
    loadList();
    return TUserInteraction::instance().showModal(this);
}

void TfrDocLinks::loadList() {
    TBusyCursor busy;
    try {
        TDbUtilsClass::getInstance()->loadQuery(
            rxmdPassList,
            QStringLiteral(
                "select  mit.id, dbo.com_GetMITPathEx(mit.Id, '»', 0, 2) as MiType from tmitypes mit "
                "inner join DocLinks DS on DS.MITypeId=mit.Id ") +
                QStringLiteral(" WHERE  DS.DocId=") + QString::number(m_docId));
        rxmdPassList.first();
    } catch (const std::exception& e) {
        errorBoxWith(QStringLiteral("Ошибка получения списка типов СИ."), e);
    }
    if (TField* id = rxmdPassList.findField(QStringLiteral("id")))
        DBGridEh1->setColumnHidden(id->index(), true);
    if (TField* path = rxmdPassList.findField(QStringLiteral("MiType")))
        path->setDisplayLabel(QStringLiteral("Тип СИ (СА)"));
    updateButtons();
}

void TfrDocLinks::updateButtons() {
    btnDelete->setEnabled(rxmdPassList.active() && !rxmdPassList.isEmpty());
}

std::vector<TfrDocLinks::Change>::iterator TfrDocLinks::changeOf(int typeId) {
    return std::find_if(FChanges.begin(), FChanges.end(),
                        [typeId](const Change& c) { return c.typeId == typeId; });
}

void TfrDocLinks::btnAddClick() {
    TATreeDataCollection tree;
    try {
        if (!tree.loadBook(installPath() + QStringLiteral("BusinessData\\ReferenceBooks\\tmitypes.xml"),
                           true) ||
            tree.count() == 0)
            throw EError(QStringLiteral("no book"));
        m_chooser.SetCollection(&tree);
        m_chooser.setWindowTitle(tree.items(0)->caption());
    } catch (const std::exception&) {
        errorBox(QStringLiteral("Ошибка при загрузке справочника."));
        m_chooser.SetCollection(nullptr);
        return;
    }
    const int result = m_chooser.Execute(-1, -1, false, true);
    const qint32 t = m_chooser.SelectedId;
    const QString path = m_chooser.SelectedPath();
    m_chooser.SetCollection(nullptr); // the collection dies with this step
    if (result != QDialog::Accepted || !rxmdPassList.active())
        return;
    if (rxmdPassList.locate(QStringLiteral("id"), t))
        return; // listed already
    const auto change = changeOf(t);
    if (change == FChanges.end())
        FChanges.push_back({t, true});
    else if (!change->add)
        FChanges.erase(change); // a removal taken back
    rxmdPassList.append();
    rxmdPassList.fieldByName(QStringLiteral("id"))->setValue(t);
    rxmdPassList.fieldByName(QStringLiteral("MiType"))->setValue(path);
    rxmdPassList.post();
    updateButtons();
}

void TfrDocLinks::btnDeleteClick() {
    if (!rxmdPassList.active() || rxmdPassList.isEmpty())
        return;
    const int t = rxmdPassList.fieldByName(QStringLiteral("id"))->asInteger();
    const auto change = changeOf(t);
    if (change == FChanges.end())
        FChanges.push_back({t, false});
    else if (change->add)
        FChanges.erase(change); // an addition taken back
    rxmdPassList.deleteRecord();
    updateButtons();
}

void TfrDocLinks::btnOkClick() {
    if (FChanges.empty()) {
        reject();
        return;
    }
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    try {
        for (auto it = FChanges.rbegin(); it != FChanges.rend(); ++it) {
            const QString doc = QString::number(m_docId), type = QString::number(it->typeId);
            if (it->add) {
                try {
                    db->runSQL(QStringLiteral("Insert into DocLinks(DocId,MITypeId) Values(") + doc +
                               QLatin1Char(',') + type + QLatin1Char(')'));
                } catch (const std::exception& e) {
                    TUserInteraction::instance().messageBox(QStringLiteral("Ошибка: ") + errorMessage(e),
                                                            TMessageKind::Error, TMsgButtons::Ok);
                }
            } else {
                db->runSQL(QStringLiteral("Delete from DocLinks where DocId=") + doc +
                           QStringLiteral(" AND MITypeId=") + type);
            }
        }
        connection.commit();
    } catch (const std::exception&) {
        rollbackIfOpen();
        errorBox(QStringLiteral("Ошибка при записи данных документа."));
        reject();
        return;
    }
    accept();
}

void TfrDocLinks::rollbackIfOpen() {
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    if (!connection.inTransaction())
        return;
    try {
        connection.rollback();
    } catch (const std::exception&) {
        // A lost connection has nothing left to undo.
    }
}

// However the dialog closes, an open transaction ends with it and the document's lock is released.
void TfrDocLinks::done(int result) {
    rollbackIfOpen();
    QDialog::done(result);
}
