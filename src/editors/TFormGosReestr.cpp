#include "TFormGosReestr.h"

#include "TDBGrid.h"
#include "TGridColumns.h"
#include "TTitleSort.h"

TFormGosReestr::TFormGosReestr(QWidget* parent)
    : TRegisterPicker(QStringLiteral("GosReestrGrid"), QStringLiteral("btnCancel"), parent) {
    setObjectName(QStringLiteral("FormGosReestr"));
    sort = std::make_unique<TTitleSort>(*grid, -1, 1);
}

TFormGosReestr::~TFormGosReestr() = default;

int TFormGosReestr::PickCentralRecord(int selectedId) {
    sort->reset(-1, 1);
    return pick(
        QStringLiteral(
            "SELECT DT_ID, CENTER_ID, DEVICE_NAME, DEVICE_MARK, TYPE_STR, ORIGINAL_CODIFF, CODIFF, "
            "TIME_NORMA, PERIOD, ORIGINAL_PERIOD, GOS_NO, METHOD, MARK_TYPE_ID, MEASURE_TYPE_CODE_ID, "
            "DEFAULT_DEPARTMENT, MASS, DEPRECATED FROM v_MSUL_DEVICE_TYPE WHERE LOCAL_FLAG=0 AND "
            "(DELETION_ID IS NULL)"),
        QStringLiteral("DT_ID"), selectedId,
        {{"DEVICE_NAME", "Наименование"},
         {"TYPE_STR", "Тип"},
         {"ORIGINAL_CODIFF", "Код по кодификатору"},
         {"GOS_NO", "Номер Гос. Реестра"},
         {"ORIGINAL_PERIOD", "Межповерочный интервал"},
         {"METHOD", "НД по поверке"}});
}
