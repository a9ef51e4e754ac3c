#include "toolkit/Font.h"

#include <cmath>

namespace {

constexpr int kPixelsPerInch = 96;

QString SubstituteFamily(const QString& name) {
    if (name.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0 ||
        name.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans");
    return name;
}

}  // namespace

int TFont::Size() const {
    return static_cast<int>(std::lround(-Height * 72.0 / kPixelsPerInch));
}

void TFont::SetSize(int points) {
    Height = -static_cast<int>(std::lround(points * double(kPixelsPerInch) / 72.0));
}

QFont TFont::ToQFont() const {
    QFont font(SubstituteFamily(Name));
    // A positive height includes internal leading, which is about a sixth.
    const int pixels = Height < 0 ? -Height : std::max(1, Height * 5 / 6);
    font.setPixelSize(std::max(1, pixels));
    font.setBold(Style & fsBold);
    font.setItalic(Style & fsItalic);
    font.setUnderline(Style & fsUnderline);
    font.setStrikeOut(Style & fsStrikeOut);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}
