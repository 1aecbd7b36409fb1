#include "TDocumentColumns.h"

#include "TDBGrid.h"
#include "TMemoryData.h"

#include <tuple>
#include <vector>

void TDocumentColumns::show(TDBGrid& grid) {
    // The dialog's list names the type column TypeName and adds Size; the manager's calls it Type.
    static const std::vector<std::tuple<const char*, const char*, const char*>> columns{
        {"Descript", "Описание документа", ""},
        {"Type", "Тип документа", ""},
        {"TypeName", "Тип документа", ""},
        {"FileName", "Имя файла документа", ""},
        {"Format", "Формат документа", ""},
        {"Size", "Размер", "Размер документа в байтах"},
        {"InsertDate", "Дата", "Дата добавления документа в БД"},
        {"Kol", "Количество", "Количество паспортов СИ (СА)"},
        {"CreatedBy", "Имя пользователя", "Имя пользователя, который добавил или обновил документ"}};
    TMemoryData& list = *grid.data();
    for (int i = 0; i < list.fieldCount(); ++i)
        grid.setColumnHidden(i, true);
    for (const auto& [name, caption, hint] : columns) {
        if (TField* f = list.findField(QString::fromUtf8(name))) {
            f->setDisplayLabel(QString::fromUtf8(caption));
            f->hint = QString::fromUtf8(hint);
            grid.setColumnHidden(f->index(), false);
        }
    }
    if (list.active())
        list.first();
    if (!grid.restoreLayout())
        grid.sizeColumnsToValues();
}
