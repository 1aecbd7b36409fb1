#include "TFormCodiff.h"

#include "TGridColumns.h"

TFormCodiff::TFormCodiff(QWidget* parent)
    : TRegisterPicker(QStringLiteral("RxDBGrid1"), QStringLiteral("BitBtn1"), parent) {
    setObjectName(QStringLiteral("FormCodiff"));
}

int TFormCodiff::PickCodifier(const QString& code) {
    return pick(
        QStringLiteral("SELECT CODIFF_CODE_ID,ORIGINAL_CODIFF_CODE, CODIFF_CODE, MEASURE_TYPE_NAME FROM "
                       "v_MSUL_CODIFF WHERE (DELETION_ID IS NULL)"),
        QStringLiteral("CODIFF_CODE"), code,
        {{"ORIGINAL_CODIFF_CODE", "Код по кодификатору"}, {"MEASURE_TYPE_NAME", "Наименование кода"}});
}
