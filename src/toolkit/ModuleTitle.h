#pragma once

#include <QString>

// The application's first title, made from the program file's full path (as
// /proc/self/exe or QCoreApplication::applicationFilePath gives it): the name
// after the last '/' or '\', cut before its first '.', every character after
// the first lower-cased, the first keeping its case. At most 255 characters.
QString ModuleTitle(const QString& modulePath);
