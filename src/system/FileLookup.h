#pragma once

#include <QString>

// The program's texts carry Windows paths ("BusinessData\ReferenceBooks\") and files that came from
// Windows differ in letter case from the names asked for. resolvePath turns backslashes into the
// platform separator and, component by component, takes the existing entry whose name matches
// ignoring letter case. A path with no match is returned with its separators converted.
QString resolvePath(const QString& path);

// True when resolvePath(path) names an existing file.
bool fileExistsIgnoringCase(const QString& path);
