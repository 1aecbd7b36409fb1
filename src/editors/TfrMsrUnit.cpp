#include "TfrMsrUnit.h"

#include "TDbUtilsClass.h"

#include <QTreeWidget>

TfrMsrUnit::TfrMsrUnit(QWidget* parent)
    : TLinkListEditor(
          {QStringLiteral(
               "SELECT mp.msrunitid, mp.parmnameid, p.sname FROM msrunitparmname mp INNER JOIN msrunit m ON "
               "mp.msrunitid=m.id INNER JOIN parmname p ON mp.parmnameid=p.id ORDER BY msrunitid"),
           QStringLiteral("msrunitid"), QStringLiteral("parmnameid"),
           QStringLiteral("DELETE FROM MsrUnitParmName WHERE MsrUnitID="),
           QStringLiteral("INSERT INTO MsrUnitParmName(MsrUnitID, ParmNameID) VALUES("),
           QStringLiteral(
               "Ошибка выполнения запроса к базе данных. Не удалось удалить записи о единице измерения."),
           QStringLiteral(
               "Ошибка выполнения запроса к базе данных. Не удалось добавить запись о единице измерения."),
           QStringLiteral("Quillon. EDBException. SaveMsrUnitData"),
           QStringLiteral("Должен быть выбран хотя бы один измеряемый параметр"), true,
           QStringLiteral("Название единицы измерения")},
          parent) {
    setObjectName(QStringLiteral("frMsrUnit"));
    setWindowTitle(QStringLiteral("Единицы измерения"));
    choices()->setObjectName(QStringLiteral("ListView1"));
    choices()->setRootIsDecorated(false);
    setChoiceTitle(QStringLiteral("Измеряемые параметры"));
}

// The parameters, refilled on every showing, in the order the server returns them.
void TfrMsrUnit::loadChoices() {
    TMemoryData parameters;
    TDbUtilsClass::getInstance()->loadQuery(parameters, QStringLiteral("SELECT * FROM ParmName"));
    choices()->clear();
    const TField* name = parameters.fieldByName(QStringLiteral("sname"));
    const TField* id = parameters.fieldByName(QStringLiteral("id"));
    for (parameters.first(); !parameters.eof(); parameters.next())
        addChoice(nullptr, name->asString(), id->asInteger());
}
