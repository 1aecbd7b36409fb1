#include "TfrModuleType.h"

#include "OrtaUtils.h"
#include "TDbUtilsClass.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLineEdit>

TfrModuleType::TfrModuleType(QWidget* parent)
    : TTypesSULinkEditor(
          {QStringLiteral(
               "SELECT bs.idModule, bs.idtypessu, s.sname FROM Modulesulink bs INNER JOIN Moduletype b ON "
               "bs.idModule=b.id INNER JOIN typessu s ON bs.idtypessu=s.id ORDER BY idModule"),
           QStringLiteral("idModule"), QStringLiteral("idtypessu"),
           QStringLiteral("DELETE FROM ModuleSULink WHERE IdModule="),
           QStringLiteral("INSERT INTO ModuleSULink(IdModule, IdTypesSU) VALUES("),
           QStringLiteral(
               "Ошибка выполнения запроса к базе данных. Не удалось удалить записи о типе модуля СУ."),
           QStringLiteral(
               "Ошибка выполнения запроса к базе данных. Не удалось добавить запись о типе модуля СУ."),
           QStringLiteral("Quillon. EDBException. SaveModuleSUData"),
           QStringLiteral("Должен быть выбран хотя бы один тип СУ"), false,
           QStringLiteral("Название типа модуля")},
          parent) {
    setObjectName(QStringLiteral("frModuleType"));
    setWindowTitle(QStringLiteral("Типы модулей СУ"));
    DBEdit2 = new QLineEdit(this);
    DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
    DBEdit2->setValidator(new QIntValidator(0, 1000000, DBEdit2));
    DBLookupComboBox1 = new QComboBox(this);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBCheckBox1 = new QCheckBox(QStringLiteral("Искрозащищенность"), this);
    DBCheckBox1->setObjectName(QStringLiteral("DBCheckBox1"));
    ownFields()->addRow(QStringLiteral("Количество каналов"), DBEdit2);
    ownFields()->addRow(QStringLiteral("Тип канала"), DBLookupComboBox1);
    ownFields()->addRow(QString(), DBCheckBox1);
}

void TfrModuleType::loadOwnFields(TMemoryData& record) {
    TTypesSULinkEditor::loadOwnFields(record);
    const TField* count = record.findField(QStringLiteral("ChannelCount"));
    DBEdit2->setText(count ? count->asString() : QString());
    const TField* flag = record.findField(QStringLiteral("ISFlag"));
    DBCheckBox1->setChecked(flag && flag->asString().trimmed() == QLatin1String("+"));
    TMemoryData types;
    TDbUtilsClass::getInstance()->loadQuery(types,
                                            QStringLiteral("SELECT * FROM ChannelType2 ORDER BY sname"));
    DBLookupComboBox1->clear();
    for (types.first(); !types.eof(); types.next())
        DBLookupComboBox1->addItem(types.fieldByName(QStringLiteral("sname"))->asString(),
                                   types.fieldByName(QStringLiteral("id"))->asInteger());
    const TField* type = record.findField(QStringLiteral("ChannelType2"));
    DBLookupComboBox1->setCurrentIndex(
        type && !type->isNull() ? DBLookupComboBox1->findData(type->asInteger()) : -1);
}

bool TfrModuleType::mayCollect(TMemoryData& record) const {
    return record.isEditing() && record.findField(QStringLiteral("ChannelType2"));
}

// The lookup's key goes first: a key the record cannot take closes the form with Cancel.
bool TfrModuleType::saveOwnFields(TMemoryData& record) {
    record.fieldByName(QStringLiteral("ChannelType2"))
        ->setValue(DBLookupComboBox1->currentIndex() < 0 ? QVariant() : DBLookupComboBox1->currentData());
    TTypesSULinkEditor::saveOwnFields(record);
    if (TField* count = record.findField(QStringLiteral("ChannelCount")))
        count->setValue(DBEdit2->text().isEmpty() ? QVariant() : QVariant(DBEdit2->text().toInt()));
    if (TField* flag = record.findField(QStringLiteral("ISFlag")))
        flag->setValue(DBCheckBox1->isChecked() ? QStringLiteral("+") : QStringLiteral("-"));
    return true;
}
