#include "TDocumentColumns.h"

#include "TGridColumns.h"

void TDocumentColumns::show(TDBGrid& grid) {
    // The dialog's list names the type column TypeName and adds Size; the manager's calls it Type.
    TGridColumns::show(
        grid, {{"Descript", "Описание документа"},
               {"Type", "Тип документа"},
               {"TypeName", "Тип документа"},
               {"FileName", "Имя файла документа"},
               {"Format", "Формат документа"},
               {"Size", "Размер", "Размер документа в байтах"},
               {"InsertDate", "Дата", "Дата добавления документа в БД"},
               {"Kol", "Количество", "Количество паспортов СИ (СА)"},
               {"CreatedBy", "Имя пользователя", "Имя пользователя, который добавил или обновил документ"}});
}
