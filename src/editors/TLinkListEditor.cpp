#include "TLinkListEditor.h"

#include "EAbort.h"
#include "OrtaUtils.h"
#include "TDbUtilsClass.h"
#include "TEditorButtons.h"
#include "TLogging.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int IdRole = Qt::UserRole + 1;

QList<QTreeWidgetItem*> allItems(QTreeWidget* tree) {
    QList<QTreeWidgetItem*> items;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        items << *it;
    return items;
}

} // namespace

TLinkListEditor::TLinkListEditor(Links links, QWidget* parent)
    : TFrExtraAbstract(parent), m_links(std::move(links)) {
    m_ownFields = new QFormLayout;
    DBEdit1 = new QLineEdit(this);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    m_ownFields->addRow(m_links.nameLabel, DBEdit1);
    m_choices = new QTreeWidget(this);
    m_choices->setHeaderHidden(true);
    m_choices->setColumnCount(1);
    auto* buttons =
        TEditorButtons::row(this, BitBtn1, QStringLiteral("BitBtn1"), CanselBtn, QStringLiteral("CanselBtn"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_ownFields);
    layout->addWidget(m_choices, 1);
    layout->addLayout(buttons);
    resize(460, 520);
    connect(m_choices, &QTreeWidget::itemChanged, this, &TLinkListEditor::paintTicked);
    connect(BitBtn1, &QPushButton::clicked, this, &TLinkListEditor::BitBtn1Click);
    connect(CanselBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TLinkListEditor::setChoiceTitle(const QString& title) {
    m_choices->setHeaderHidden(false);
    m_choices->setHeaderLabels({title});
}

QTreeWidgetItem* TLinkListEditor::addChoice(QTreeWidgetItem* parent, const QString& caption, qint32 id) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_choices);
    item->setText(0, caption);
    item->setData(0, IdRole, id);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    return item;
}

void TLinkListEditor::loadOwnFields(TMemoryData& record) {
    const TField* name = record.findField(QStringLiteral("sname"));
    DBEdit1->setText(name ? name->asString() : QString());
    if (name && name->size() > 0)
        DBEdit1->setMaxLength(name->size());
}

bool TLinkListEditor::saveOwnFields(TMemoryData& record) {
    if (TField* name = record.findField(QStringLiteral("sname")))
        name->setValue(DBEdit1->text());
    return true;
}

bool TLinkListEditor::mayCollect(TMemoryData& record) const {
    return record.isEditing();
}

void TLinkListEditor::LoadLinks() {
    FLinks.close();
    TDbUtilsClass::getInstance()->loadQuery(FLinks, m_links.linkQuery);
}

void TLinkListEditor::LoadRecord(TMemoryData& record, bool firstShow) {
    FRecord = &record;
    LoadLinks();
    loadOwnFields(record);
    loadChoices();
    const TField* id = record.findField(QStringLiteral("id"));
    FOwnerId = id ? id->asInteger() : 0;
    if (firstShow) {
        FChosenIds.clear();
        const TField* owner = FLinks.findField(m_links.ownerColumn);
        const TField* target = FLinks.findField(m_links.targetColumn);
        if (owner && target && FOwnerId > 0 && FLinks.locate(m_links.ownerColumn, FOwnerId)) {
            for (; !FLinks.eof() && owner->asInteger() == FOwnerId; FLinks.next())
                FChosenIds.add(target->asInteger());
        }
    }
    tickChosen();
}

void TLinkListEditor::tickChosen() {
    m_choices->expandAll();
    for (QTreeWidgetItem* item : allItems(m_choices)) {
        const bool chosen = FChosenIds.indexOf(item->data(0, IdRole).toInt()) >= 0;
        item->setCheckState(0, chosen ? Qt::Checked : Qt::Unchecked);
        if (chosen && item->parent())
            item->parent()->setExpanded(true);
    }
}

void TLinkListEditor::paintTicked(QTreeWidgetItem* item) {
    const bool ticked = item->checkState(0) == Qt::Checked;
    const QBrush brush = ticked ? QBrush(QColor(255, 120, 120)) : QBrush();
    if (item->background(0) != brush)
        item->setBackground(0, brush);
}

void TLinkListEditor::BitBtn1Click() {
    FChosenIds.clear();
    if (!FRecord || !mayCollect(*FRecord)) {
        accept();
        return;
    }
    try {
        if (!saveOwnFields(*FRecord))
            return;
    } catch (const std::exception&) {
        reject();
        return;
    }
    QList<QTreeWidgetItem*> items = allItems(m_choices);
    if (m_links.collectFromLast)
        std::reverse(items.begin(), items.end());
    for (const QTreeWidgetItem* item : items) {
        if (item->checkState(0) == Qt::Checked)
            FChosenIds.add(item->data(0, IdRole).toInt());
    }
    if (FChosenIds.count() == 0) {
        errorBox(m_links.emptyChoice);
        return;
    }
    accept();
}

// The record's links are written whole or not at all: a failing statement rolls the save back
// and the editor is shown again with what was chosen.
bool TLinkListEditor::AfterSave(TATreeDataCollectionItem* /*nodeData*/) {
    if (FOwnerId < 1 && FRecord)
        FOwnerId = FRecord->fieldByName(QStringLiteral("id"))->asInteger();
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    try {
        db->runSQL(m_links.deleteStatement + QString::number(FOwnerId));
    } catch (const std::exception&) {
        errorBox(m_links.deleteFailure);
        TLogging::logException(m_links.logLine);
        throw EAbort();
    }
    for (int i = 0; i < FChosenIds.count(); ++i) {
        try {
            db->runSQL(m_links.insertStatement + QString::number(FOwnerId) + QLatin1Char(',') +
                       QString::number(FChosenIds.valueAt(i)) + QLatin1Char(')'));
        } catch (const std::exception&) {
            errorBox(m_links.insertFailure);
            TLogging::logException(m_links.logLine);
            throw EAbort();
        }
    }
    return true;
}
