#include "TfrBlockType.h"

TfrBlockType::TfrBlockType(QWidget* parent)
    : TTypesSULinkEditor(
          {QStringLiteral(
               "SELECT bs.idblock, bs.idtypessu, s.sname FROM blocksulink bs INNER JOIN blocktype b ON "
               "bs.idblock=b.id INNER JOIN typessu s ON bs.idtypessu=s.id ORDER BY idblock"),
           QStringLiteral("idblock"), QStringLiteral("idtypessu"),
           QStringLiteral("DELETE FROM BlockSULink WHERE IdBlock="),
           QStringLiteral("INSERT INTO BlockSULink(IdBlock, IdTypesSU) VALUES("),
           QStringLiteral(
               "Ошибка выполнения запроса к базе данных. Не удалось удалить записи о типе блока СУ."),
           QStringLiteral(
               "Ошибка выполнения запроса к базе данных. Не удалось добавить запись о типе блока СУ."),
           QStringLiteral("Quillon. EDBException. SaveBlockSUData"),
           QStringLiteral("Должен быть выбран хотя бы один измеряемый параметр"), false,
           QStringLiteral("Название типа блока")},
          parent) {
    setObjectName(QStringLiteral("frBlockType"));
    setWindowTitle(QStringLiteral("Типы блоков СУ"));
}
