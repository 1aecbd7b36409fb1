#include "TLinkInfoFields.h"

#include "TMemoryData.h"

namespace {

const char* const fields[TLinkInfoFields::count][2] = {
    {"DEVICE_NAME", "Наименование СИ"},
    {"TYPE_STR", "Тип СИ"},
    {"ORIGINAL_CODIFF", "Код по кодификатору"},
    {"ORIGINAL_PERIOD", "Межповерочный интервал по Гос. Реестру"},
    {"GOS_NO", "Номер по Гос. Реестру"},
    {"METHOD", "НД по поверке"},
    {"CENTER_ID", "Номер записи"},
    {"DEV_CODE", "Локальный код СИ"},
    {"DEVICE_MARK", "Модификация"},
    {"GRADE_OF_ACCURACY", "Класс точности"},
    {"MEASUREMENT_RANGE", "Диапазон измерений"},
    {"CERTIFICATION_NUMBER", "Номер сертификата"},
    {"CERTIFICATION_FINISH_DATE", "Дата окончания срока сертификата"},
    {"MANUFACTURER", "Предприятие изготовитель СИ"},
    {"METROLOGICAL_BEHAVIOURS", "Метрологические характеристики"},
    {"PERIOD", "Межповерочный интервал"},
    {"MASS", "Масса СИ кг."},
    {"LOCAL_COMMENT", "Локальный комментарий"},
    {"DEPARTMENT_NAME", "Поверочное подразделение"},
    {"MEASURE_TYPE_NAME", "Область измерений"}};

} // namespace

const char* TLinkInfoFields::column(int i) {
    return fields[i][0];
}

QString TLinkInfoFields::caption(int i) {
    return QString::fromUtf8(fields[i][1]);
}

QString TLinkInfoFields::text(TMemoryData& source, int i) {
    if (!source.active() || source.isEmpty())
        return QString();
    const TField* field = source.findField(QString::fromLatin1(column(i)));
    return field ? field->displayText() : QString();
}

QString TLinkInfoFields::select(const QString& view) {
    return QStringLiteral(
               "Select DEVICE_NAME,TYPE_STR,ORIGINAL_CODIFF,ORIGINAL_PERIOD,GOS_NO,METHOD,  "
               "CENTER_ID,DEV_CODE,DEVICE_MARK,GRADE_OF_ACCURACY,MEASUREMENT_RANGE,  "
               "CERTIFICATION_NUMBER,CERTIFICATION_FINISH_DATE,MANUFACTURER,METROLOGICAL_BEHAVIOURS,"
               "PERIOD,MASS,  LOCAL_COMMENT,DEP.DEPARTMENT_NAME,MEAS.MEASURE_TYPE_NAME FROM ") +
           view + QStringLiteral(" left join v_MSUL_DEPARTMENT DEP on DEP.DEPARTMENT_ID=") + view +
           QStringLiteral(".DEFAULT_DEPARTMENT   left join v_MSUL_MEASURE_TYPE MEAS on ") + view +
           QStringLiteral(".MEASURE_TYPE_CODE_ID=MEAS.MEASURE_TYPE_CODE_ID   WHERE ") + view +
           QStringLiteral(".DT_ID=");
}
