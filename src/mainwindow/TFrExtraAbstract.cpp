#include "TFrExtraAbstract.h"

bool TFrExtraAbstract::AfterSave(TATreeDataCollectionItem*) {
    return true;
}

bool TFrExtraAbstract::BeforeSave(TATreeDataCollectionItem*) {
    return true;
}

void TFrExtraAbstract::done(int result) {
    if (QWidget* focused = focusWidget())
        focused->clearFocus();
    QDialog::done(result);
}
