#include "OrtaUtils.h"

#include "EAbort.h"
#include "EError.h"
#include "TMemoryData.h"
#include "TOrtaSettings.h"
#include "TextHelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString applicationTitle() {
    return QStringLiteral("АРМ Администратора");
}

int messageBox(const QString& text, TMessageKind kind, int buttons) {
    return TUserInteraction::instance().messageBox(text, kind, buttons);
}

int errorBox(const QString& text, int buttons) {
    return messageBox(text, TMessageKind::Error, buttons);
}

int warningBox(const QString& text, int buttons) {
    return messageBox(text, TMessageKind::Warning, buttons);
}

int infoBox(const QString& text) {
    return messageBox(text, TMessageKind::Information, TMsgButtons::Ok);
}

int questionBox(const QString& text, int buttons) {
    return messageBox(text, TMessageKind::Question, buttons);
}

QString errorMessage(const std::exception& error) {
    if (const auto* own = dynamic_cast<const EError*>(&error))
        return own->message();
    return QString::fromUtf8(error.what());
}

int errorBoxWith(const QString& text, const std::exception& error) {
    return errorBox(text + QStringLiteral("\n\n") + errorMessage(error));
}

QString installPath() {
    return TOrtaSettings::path();
}

QString exeFileName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

QString tempPath() {
    QString path = QDir::toNativeSeparators(QDir::tempPath());
    if (!path.endsWith(QDir::separator()))
        path += QDir::separator();
    return path.left(260);
}

void setFloatFromText(TField& field, const QString& text) {
    if (text.isEmpty()) {
        field.clear();
        return;
    }
    double value = 0;
    if (!tryStrToFloat(text, value)) {
        errorBox(QStringLiteral("Ошибка при вводе числового значения"));
        throw EAbort();
    }
    field.setValue(value);
}

void setIntegerFromText(TField& field, const QString& text) {
    if (text.isEmpty()) {
        field.clear();
        return;
    }
    qint32 value = 0;
    if (!tryStrToInt(text, value)) {
        errorBox(QStringLiteral("Ошибка при вводе целочисленного значения"));
        throw EAbort();
    }
    field.setValue(value);
}

bool checkRequiredFields(TMemoryData& dataSet) {
    for (int i = 0; i < dataSet.fieldCount(); ++i) {
        TField* field = dataSet.field(i);
        if (field->required && field->isNull()) {
            errorBox(QStringLiteral("Поле \"") + field->displayLabel() +
                     QStringLiteral("\" должно быть заполненно!"));
            field->focusControl();
            return false;
        }
    }
    return true;
}

void gridSortToTable(TMemoryData* table, const std::vector<TSortMark>& marks) {
    if (marks.empty() || !table || !table->active())
        return;
    TBusyCursor busy;
    QString order;
    for (const TSortMark& mark : marks)
        order += QLatin1Char(',') + mark.fieldName + (mark.descending ? QStringLiteral(" DESC") : QString());
    table->setSortOrder(order.mid(1));
}
