#pragma once

#include <QString>
#include <QStringList>

// The first 'most' of 'names' joined by commas, and "and N more" for the
// rest, so that a message naming thousands of items stays a few lines long.
QString NameList(const QStringList& names, qsizetype most);

// 'text' cut so that a message box showing it fits any screen: a run of more
// than a few dozen characters without a space (a long path) keeps its start
// and end around an ellipsis, and a text of more than a screenful ends in one.
QString FitForMessageBox(const QString& text);
