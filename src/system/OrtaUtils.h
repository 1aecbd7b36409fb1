#pragma once

#include "TUserInteraction.h"

#include <QString>
#include <exception>
#include <vector>

class TField;
class TMemoryData;

// The application title: caption of every message box and of the error list.
QString applicationTitle();

int messageBox(const QString& text, TMessageKind kind, int buttons);
int errorBox(const QString& text, int buttons = TMsgButtons::Ok);
int warningBox(const QString& text, int buttons = TMsgButtons::Ok);
int infoBox(const QString& text);
int questionBox(const QString& text, int buttons);
// errorBox of text, two line breaks and the error's message: the form of every failed database
// operation ("Не удалось подгрузить справочник." and the server's message below).
int errorBoxWith(const QString& text, const std::exception& error);
QString errorMessage(const std::exception& error);

// The installation folder from the settings store ("path"; user scope, then machine scope).
QString installPath();
QString exeFileName();
// The folder for temporary files, ending with a separator.
QString tempPath();

// Text input of numeric fields: empty text clears the field; a bad number shows the error box and
// cancels the input with the silent abort, the field keeping its value.
void setFloatFromText(TField& field, const QString& text);
void setIntegerFromText(TField& field, const QString& text);

// The first required field without a value: error box, focus to its control, false.
bool checkRequiredFields(TMemoryData& dataSet);

struct TSortMark {
    QString fieldName;
    bool descending = false;
};
// The memory table sorted by the grid's sort-marked columns, in marking order ("NAME,CODE DESC").
void gridSortToTable(TMemoryData* table, const std::vector<TSortMark>& marks);
