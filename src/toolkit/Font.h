#pragma once

#include <QFont>
#include <QString>

#include "toolkit/Colors.h"

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

// A font as the components describe it. Height < 0 is the character height in
// pixels (the usual form); Height > 0 is the cell height including leading.
class TFont {
  public:
    QString Name = QStringLiteral("MS Sans Serif");
    int Height = -11;
    TColor Color = clWindowText;
    TFontStyles Style = 0;

    // Point size at the toolkit's fixed 96 pixels per inch.
    int Size() const;
    void SetSize(int points);

    // The Qt font for drawing. Desktop fonts named by the form data that do
    // not exist here map once, in this function, to metric-close ones.
    QFont ToQFont() const;

    friend bool operator==(const TFont&, const TFont&) = default;
};
