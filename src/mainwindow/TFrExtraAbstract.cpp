#include "TFrExtraAbstract.h"

#include "EAbort.h"
#include "OrtaUtils.h"

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

bool TFrExtraAbstract::writeRecord(const std::function<void()>& write) {
    try {
        write();
        return true;
    } catch (const EAbort&) {
        return false; // the field has told the user
    } catch (const std::exception& e) {
        errorBox(errorMessage(e));
        return false;
    }
}
