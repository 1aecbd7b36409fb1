#pragma once

#include <QList>
#include <QPair>
#include <QString>

using TXmlAttributes = QList<QPair<QString, QString>>;

// An element as the description reader sees it: its name and its attributes in document order.
struct TXmlElement {
    QString name;
    TXmlAttributes attributes;
};
