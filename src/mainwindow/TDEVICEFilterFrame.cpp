#include "TDEVICEFilterFrame.h"

TDEVICEFilterFrame::TDEVICEFilterFrame(QWidget* parent)
    : TListFilterFrame(QStringLiteral("Фильтрация списка СИ"),
                       {QStringLiteral("локальные на основе центр. справочника"), QStringLiteral("прочие"),
                        QStringLiteral("все")},
                       All, parent) {
    setObjectName(QStringLiteral("DEVICEFilterFrame"));
}

QString TDEVICEFilterFrame::condition(int option) const {
    QString text = QStringLiteral("( LOCAL_FLAG=1 )");
    if (option == LocalFromCentral)
        text += QStringLiteral(" AND ") + QStringLiteral(" (CENTER_ID IS NOT NULL) ");
    else if (option == Other)
        text += QStringLiteral(" AND ") + QStringLiteral(" (CENTER_ID IS NULL) ");
    return text;
}
