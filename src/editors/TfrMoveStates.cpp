#include "TfrMoveStates.h"

#include "OrtaUtils.h"
#include "TATreeDataCollection.h"
#include "TATreeDataCollectionItem.h"
#include "TDbUtilsClass.h"
#include "TEditorButtons.h"
#include "TfrATypes.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QGroupBox* radioGroup(QWidget* parent, const QString& caption, const QStringList& choices,
                      QButtonGroup* group, QVBoxLayout*& layout) {
    auto* box = new QGroupBox(caption, parent);
    layout = new QVBoxLayout(box);
    for (int i = 0; i < choices.size(); ++i) {
        auto* button = new QRadioButton(choices.at(i), box);
        group->addButton(button, i);
        layout->addWidget(button);
    }
    return box;
}

// The states, by their short names, in a lookup box; the key is the state's id.
void fillStates(QComboBox* box, const QVariant& key) {
    TMemoryData states;
    TDbUtilsClass::getInstance()->loadQuery(states, QStringLiteral("SELECT * FROM MMstate ORDER BY sname"));
    box->clear();
    for (states.first(); !states.eof(); states.next())
        box->addItem(states.fieldByName(QStringLiteral("SName"))->asString(),
                     states.fieldByName(QStringLiteral("Id"))->asInteger());
    box->setCurrentIndex(key.isNull() ? -1 : box->findData(key.toInt()));
}

QVariant valueOf(TMemoryData& record, const char* name) {
    const TField* field = record.findField(QString::fromLatin1(name));
    return field ? field->value() : QVariant();
}

void setIfPresent(TMemoryData& record, const char* name, const QVariant& value) {
    if (TField* field = record.findField(QString::fromLatin1(name)))
        field->setValue(value);
}

} // namespace

TfrMoveStates::TfrMoveStates(TfrATypes& chooser, QWidget* parent)
    : TFrExtraAbstract(parent), m_chooser(chooser) {
    setObjectName(QStringLiteral("frMoveStates"));
    setWindowTitle(QStringLiteral("Движения СИ по позициям"));
    DBLookupComboBox2 = new QComboBox(this);
    DBLookupComboBox2->setObjectName(QStringLiteral("DBLookupComboBox2"));

    RadioGroup1 = new QButtonGroup(this);
    QVBoxLayout* subdivLayout = nullptr;
    QGroupBox* subdivBox = radioGroup(this, QStringLiteral("  Подразделение  "),
                                      {QStringLiteral("не менять"), QStringLiteral("менять на:"),
                                       QStringLiteral("менять на устанавливаемое")},
                                      RadioGroup1, subdivLayout);
    ComboEdit1 = new QLineEdit(subdivBox);
    ComboEdit1->setObjectName(QStringLiteral("ComboEdit1"));
    ComboEdit1->setReadOnly(true);
    bbtSubDivs = new QPushButton(QStringLiteral("..."), subdivBox);
    bbtSubDivs->setObjectName(QStringLiteral("bbtSubDivs"));
    auto* subdivRow = new QHBoxLayout;
    subdivRow->addWidget(ComboEdit1, 1);
    subdivRow->addWidget(bbtSubDivs);
    subdivLayout->insertLayout(2, subdivRow);

    RadioGroup2 = new QButtonGroup(this);
    QVBoxLayout* stateLayout = nullptr;
    QGroupBox* stateBox =
        radioGroup(this, QStringLiteral("  Состояние  "),
                   {QStringLiteral("менять на:"), QStringLiteral("менять на устанавливаемое")}, RadioGroup2,
                   stateLayout);
    DBLookupComboBox1 = new QComboBox(stateBox);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    stateLayout->insertWidget(1, DBLookupComboBox1);

    auto* state = new QFormLayout;
    state->addRow(QStringLiteral("Состояние"), DBLookupComboBox2);
    auto* buttons =
        TEditorButtons::row(this, BitBtn1, QStringLiteral("BitBtn1"), CanselBtn, QStringLiteral("CanselBtn"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(state);
    layout->addWidget(subdivBox);
    layout->addWidget(stateBox);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(420, 360);

    connect(RadioGroup1, &QButtonGroup::idToggled, this, &TfrMoveStates::updateVisibility);
    connect(RadioGroup2, &QButtonGroup::idToggled, this, &TfrMoveStates::updateVisibility);
    connect(bbtSubDivs, &QPushButton::clicked, this, &TfrMoveStates::bbtSubDivsClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrMoveStates::BitBtn1Click);
    connect(CanselBtn, &QPushButton::clicked, this, &QDialog::reject);
    RadioGroup1->button(KeepSubdiv)->setChecked(true);
    RadioGroup2->button(FixedState)->setChecked(true);
}

TfrMoveStates::~TfrMoveStates() {
    m_chooser.SetCollection(nullptr); // the tree goes with this editor
}

void TfrMoveStates::LoadRecord(TMemoryData& record, bool /*firstShow*/) {
    FRecord = &record;
    fillStates(DBLookupComboBox2, valueOf(record, "State"));
    DBLookupComboBox2->setEnabled(record.state() == TDataSetState::Insert);
    fillStates(DBLookupComboBox1, valueOf(record, "NewStateId"));
    TDbUtilsClass::getInstance()->loadQuery(m_subdivs, QStringLiteral("SELECT * FROM tSubdivs ORDER BY id"));

    const QString subdivHow = valueOf(record, "ChangeSubdivHow").toString().trimmed();
    const QVariant subdivHowValue = valueOf(record, "ChangeSubdivHow");
    showSubdiv(0);
    if (subdivHowValue.isNull()) {
        RadioGroup1->button(KeepSubdiv)->setChecked(true);
    } else if (subdivHow == QLatin1String("+")) {
        RadioGroup1->button(FixedSubdiv)->setChecked(true);
        const QVariant id = valueOf(record, "NewSubdivId");
        if (!id.isNull() && m_subdivs.locate(QStringLiteral("id"), id.toInt()))
            showSubdiv(id.toInt());
    } else if (subdivHow == QLatin1String("-")) {
        RadioGroup1->button(InstalledSubdiv)->setChecked(true);
    }
    const QString stateHow = valueOf(record, "ChangeStateHow").toString().trimmed();
    if (stateHow == QLatin1String("+"))
        RadioGroup2->button(FixedState)->setChecked(true);
    else if (stateHow == QLatin1String("-"))
        RadioGroup2->button(InstalledState)->setChecked(true);

    if (!FSubdivTree) {
        FSubdivTree = std::make_unique<TATreeDataCollection>();
        FSubdivTree->loadBook(installPath() + QStringLiteral("BusinessData\\ReferenceBooks\\tSubDivs.xml"),
                              true);
    }
    m_chooser.SetCollection(FSubdivTree.get());
    m_chooser.setWindowTitle(QStringLiteral("Подразделения"));
    updateVisibility();
}

void TfrMoveStates::showSubdiv(qint32 id) {
    m_subdivId = id;
    ComboEdit1->setText(id != 0 && m_subdivs.active() && m_subdivs.locate(QStringLiteral("id"), id)
                            ? m_subdivs.fieldByName(QStringLiteral("sname"))->asString()
                            : QString());
}

void TfrMoveStates::updateVisibility() {
    const bool fixedSubdiv = RadioGroup1->checkedId() == FixedSubdiv;
    ComboEdit1->setVisible(fixedSubdiv);
    bbtSubDivs->setVisible(fixedSubdiv);
    DBLookupComboBox1->setVisible(RadioGroup2->checkedId() == FixedState);
}

void TfrMoveStates::bbtSubDivsClick() {
    if (m_chooser.Execute(-1, m_subdivId, false, true) != QDialog::Accepted)
        return;
    m_subdivId = m_chooser.SelectedId;
    const TATreeDataCollectionItem* item = FSubdivTree ? FSubdivTree->itemById(m_subdivId) : nullptr;
    ComboEdit1->setText(item ? item->fieldValue(QStringLiteral("sname")).toString() : QString());
}

void TfrMoveStates::BitBtn1Click() {
    if (!FRecord || !FRecord->isEditing())
        return;
    const bool fixedSubdiv = RadioGroup1->checkedId() == FixedSubdiv;
    if (fixedSubdiv && m_subdivId == 0) {
        errorBox(QStringLiteral("Выберите значение"));
        ComboEdit1->setFocus();
        return;
    }
    const bool fixedState = RadioGroup2->checkedId() == FixedState;
    const auto key = [](QComboBox* box) {
        return box->currentIndex() < 0 ? QVariant() : box->currentData();
    };
    try {
        setIfPresent(*FRecord, "State", key(DBLookupComboBox2));
        setIfPresent(*FRecord, "NewSubdivId", fixedSubdiv ? QVariant(m_subdivId) : QVariant());
        setIfPresent(*FRecord, "NewStateId", fixedState ? key(DBLookupComboBox1) : QVariant());
        static const QVariant how[] = {QVariant(), QStringLiteral("+"), QStringLiteral("-")};
        setIfPresent(*FRecord, "ChangeSubdivHow", how[RadioGroup1->checkedId()]);
        setIfPresent(*FRecord, "ChangeStateHow", fixedState ? how[1] : how[2]);
    } catch (const std::exception&) {
        reject();
        return;
    }
    accept();
}
