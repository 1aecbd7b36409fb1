#include "TfrSettings.h"

#include "EOrtaException.h"
#include "OrtaUtils.h"
#include "TATreeDataCollection.h"
#include "TATreeDataCollectionItem.h"
#include "TButtonRow.h"
#include "TDbQuery.h"
#include "TDbUtilsClass.h"
#include "TUserInteraction.h"
#include "TfrATypes.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const QString Plus = QStringLiteral("+");
const QString Minus = QStringLiteral("-");

QGroupBox* choice(QWidget* parent, const QString& caption, QRadioButton*& first, const QString& firstText,
                  QRadioButton*& second, const QString& secondText) {
    auto* box = new QGroupBox(caption, parent);
    auto* layout = new QHBoxLayout(box);
    first = new QRadioButton(firstText, box);
    second = new QRadioButton(secondText, box);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addStretch();
    return box;
}

QString text(const QVariant& value) {
    return value.isValid() && !value.isNull() ? value.toString().trimmed() : QString();
}

} // namespace

TfrSettings::TfrSettings(TfrATypes& typeChooser, QWidget* parent)
    : QDialog(parent), m_typeChooser(typeChooser) {
    setObjectName(QStringLiteral("frSettings"));
    setWindowTitle(QStringLiteral("Настройки"));
    auto* layout = new QVBoxLayout(this);
    auto* defaults =
        new QGroupBox(QStringLiteral(" Значения по умолчанию при создании нового паспорта СИ "), this);
    auto* defaultsLayout = new QHBoxLayout(defaults);
    DBCheckBox1 = new QCheckBox(QStringLiteral("Новая техника"), defaults);
    DBCheckBox2 = new QCheckBox(QStringLiteral("Беспозиционный"), defaults);
    defaultsLayout->addWidget(DBCheckBox1);
    defaultsLayout->addWidget(DBCheckBox2);
    defaultsLayout->addStretch();
    layout->addWidget(defaults);
    layout->addWidget(choice(this, QStringLiteral("  Полуавтоматическое движение СИ по позициям  "),
                             AutoMoveOn, QStringLiteral("включено"), AutoMoveOff,
                             QStringLiteral("выключено")));
    layout->addWidget(new QLabel(QStringLiteral("Тип СИ для дифманометров"), this));
    auto* typeRow = new QHBoxLayout;
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    bbtSubDivs = new QPushButton(QStringLiteral("..."), this);
    bbtSubDivs->setObjectName(QStringLiteral("bbtSubDivs"));
    typeRow->addWidget(Edit1, 1);
    typeRow->addWidget(bbtSubDivs);
    layout->addLayout(typeRow);
    layout->addWidget(choice(this, QStringLiteral(" Перенос периода МО из позиции в СИ "), MoveIntervalCopy,
                             QStringLiteral("просто перенос"), MoveIntervalMinimum,
                             QStringLiteral("выбор минимального")));
    DBCheckBox3 = new QCheckBox(QStringLiteral("Предлагать создавать паспорт на позицию"), this);
    layout->addWidget(DBCheckBox3);
    auto* numbers = new QFormLayout;
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(0, 35791);
    SpinEdit2 = new QSpinBox(this);
    SpinEdit2->setObjectName(QStringLiteral("SpinEdit2"));
    SpinEdit2->setRange(0, 2147483647);
    SpinEdit3 = new QSpinBox(this);
    SpinEdit3->setObjectName(QStringLiteral("SpinEdit3"));
    SpinEdit3->setRange(0, 2147483647);
    numbers->addRow(QStringLiteral("Интервал обновления справочников (мин.)"), SpinEdit1);
    numbers->addRow(QStringLiteral("Уровней типов СИ перед наименованием в годовом графике"), SpinEdit2);
    numbers->addRow(QStringLiteral("Уровней подразделений в годовом графике"), SpinEdit3);
    layout->addLayout(numbers);
    const TButtonRow buttons(layout, this, "BitBtn1", QStringLiteral("Применить"), "CanselBtn",
                             QStringLiteral("Отменить"));
    BitBtn1 = buttons.confirm;
    CanselBtn = buttons.cancel;
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(DBCheckBox1, &QCheckBox::toggled, this, [this](bool on) { setFlag("newtech", on); });
    connect(DBCheckBox2, &QCheckBox::toggled, this, [this](bool on) { setFlag("nopos", on); });
    connect(AutoMoveOn, &QRadioButton::toggled, this, [this](bool on) { setFlag("automovesi", on); });
    connect(MoveIntervalCopy, &QRadioButton::toggled, this, [this](bool on) { setFlag("moveinterval", on); });
    connect(DBCheckBox3, &QCheckBox::toggled, this, [this](bool on) { setFlag("createpos", on); });
    connect(bbtSubDivs, &QPushButton::clicked, this, &TfrSettings::bbtSubDivsClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrSettings::BitBtn1Click);
    connect(CanselBtn, &QPushButton::clicked, this, &QDialog::reject);
}

TfrSettings::~TfrSettings() = default;

int TfrSettings::Execute() {
    load();
    const int result = TUserInteraction::instance().showModal(this);
    m_typeChooser.SetCollection(nullptr);
    m_types.reset();
    return result;
}

void TfrSettings::load() {
    TBusyCursor busy;
    m_types = std::make_unique<TATreeDataCollection>();
    m_types->loadBook(installPath() + QStringLiteral("BusinessData\\ReferenceBooks\\tMITypes.xml"), true);
    m_typeChooser.SetCollection(m_types.get());
    m_typeChooser.setWindowTitle(QStringLiteral("Типы СИ"));
    Settings.clear();
    m_original.clear();
    Edit1->clear();
    try {
        std::unique_ptr<TDbQuery> row =
            TDbUtilsClass::getInstance()->openQuery(QStringLiteral("select * from Settings"));
        for (int i = 0; !row->eof() && i < row->fieldCount(); ++i)
            Settings.insert(row->field(i).name.toLower(), row->value(i));
        m_original = Settings;
        bool isNumber = false;
        const qint32 typeId = text(Settings.value("difmanomid")).toInt(&isNumber);
        if (isNumber) {
            if (const TATreeDataCollectionItem* type = m_types->itemById(typeId))
                Edit1->setText(type->fieldValue(QStringLiteral("sname")).toString());
        }
    } catch (const std::exception&) {
        // The window shows what it could read.
    }
    showRow();
}

void TfrSettings::showRow() {
    m_showing = true;
    const auto flag = [this](const char* column) {
        return text(Settings.value(column)) == Plus;
    };
    DBCheckBox1->setChecked(flag("newtech"));
    DBCheckBox2->setChecked(flag("nopos"));
    (flag("automovesi") ? AutoMoveOn : AutoMoveOff)->setChecked(true);
    (flag("moveinterval") ? MoveIntervalCopy : MoveIntervalMinimum)->setChecked(true);
    DBCheckBox3->setChecked(flag("createpos"));
    SpinEdit1->setValue(Settings.value("refinterval").toInt() / 60000);
    SpinEdit2->setValue(Settings.value("vrfyearmitypelevel").toInt());
    SpinEdit3->setValue(Settings.value("vrfyearsubdivlevel").toInt());
    m_showing = false;
}

void TfrSettings::setFlag(const char* column, bool on) {
    if (!m_showing)
        Settings.insert(QString::fromLatin1(column), on ? Plus : Minus);
}

void TfrSettings::bbtSubDivsClick() {
    bool isNumber = false;
    const qint32 current = text(Settings.value("difmanomid")).toInt(&isNumber);
    if (m_typeChooser.Execute(-1, isNumber ? current : -1, true, true) != QDialog::Accepted)
        return;
    Settings.insert(QStringLiteral("difmanomid"), QString::number(m_typeChooser.SelectedId));
    const TATreeDataCollectionItem* type = m_types ? m_types->itemById(m_typeChooser.SelectedId) : nullptr;
    Edit1->setText(type ? type->fieldValue(QStringLiteral("sname")).toString() : QString());
}

void TfrSettings::BitBtn1Click() {
    Settings.insert(QStringLiteral("refinterval"), SpinEdit1->value() * 60000);
    Settings.insert(QStringLiteral("vrfyearmitypelevel"), SpinEdit2->value());
    Settings.insert(QStringLiteral("vrfyearsubdivlevel"), SpinEdit3->value());
    try {
        post();
    } catch (const std::exception& e) {
        errorBoxWith(QStringLiteral("Ошибка сохранения настроек."), e);
        return;
    }
    accept();
}

void TfrSettings::post() {
    QStringList assignments;
    QStringList unchanged;
    for (auto it = Settings.cbegin(); it != Settings.cend(); ++it) {
        const QVariant before = m_original.value(it.key());
        if (before == it.value() && before.isNull() == it.value().isNull())
            continue;
        const QString value = it.value().typeId() == QMetaType::Int
                                  ? it.value().toString()
                                  : TDbUtilsClass::stringLiteral(it.value().toString());
        assignments << it.key() + QLatin1Char('=') + value;
        // Another workstation may have saved the same option meanwhile: its value is not overwritten.
        unchanged << (before.isNull() || !before.isValid()
                          ? it.key() + QStringLiteral(" IS NULL")
                          : it.key() + QLatin1Char('=') +
                                (before.typeId() == QMetaType::QString
                                     ? TDbUtilsClass::stringLiteral(before.toString())
                                     : before.toString()));
    }
    if (assignments.isEmpty())
        return;
    const qint64 changed = TDbUtilsClass::getInstance()->runSQL(
        QStringLiteral("update Settings set ") + assignments.join(QStringLiteral(", ")) +
        QStringLiteral(" where ") + unchanged.join(" and "));
    if (changed == 0)
        throw EOrtaException(
            QStringLiteral("Настройки изменены другим пользователем; откройте окно снова, чтобы "
                           "увидеть их."));
    m_original = Settings;
}
