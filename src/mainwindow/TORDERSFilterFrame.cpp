#include "TORDERSFilterFrame.h"

TORDERSFilterFrame::TORDERSFilterFrame(QWidget* parent)
    : TListFilterFrame(
          QStringLiteral("Фильтрация списка заявок"),
          {QStringLiteral("Активные заявки"), QStringLiteral("Закрытые заявки"), QStringLiteral("Все")}, All,
          parent) {
    setObjectName(QStringLiteral("ORDERSFilterFrame"));
}

QString TORDERSFilterFrame::condition(int option) const {
    QString text = QStringLiteral("( DELETE_DATE IS NULL )");
    if (option == Active)
        text += QStringLiteral(" AND ") + QStringLiteral(" (CLOSE_DATE IS NULL) ");
    else if (option == Closed)
        text += QStringLiteral(" AND ") + QStringLiteral(" (CLOSE_DATE IS NOT NULL) ");
    return text;
}
