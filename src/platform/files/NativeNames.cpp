#include "platform/files/NativeNames.h"

#include <QByteArrayList>
#include <QStringList>

namespace platform {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;
constexpr char16_t kBackslashStandIn = 0xF05C;

// Length of the valid UTF-8 sequence starting at i and its code point, or 0.
int DecodeUtf8(const QByteArray& bytes, qsizetype i, char32_t& codePoint) {
    const auto byte = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byte(i);
    int length;
    char32_t minimum;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > bytes.size()) return 0;
    for (int k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (byte(i + k) & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < minimum || codePoint > 0x10FFFF || surrogate) return 0;
    return length;
}

void AppendEscaped(QString& out, const QByteArray& bytes, qsizetype from, int count) {
    for (int k = 0; k < count; ++k)
        out.append(QChar(kEscapeBase + static_cast<unsigned char>(bytes[from + k])));
}

bool IsPlainAscii(const QByteArray& bytes, bool mapBackslash) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80 || (mapBackslash && c == '\\')) return false;
    return true;
}

void AppendCodePoint(QString& out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        out.append(QChar(static_cast<char16_t>(codePoint)));
    } else {
        out.append(QChar(QChar::highSurrogate(codePoint)));
        out.append(QChar(QChar::lowSurrogate(codePoint)));
    }
}

QString Decode(const QByteArray& bytes, bool mapBackslash) {
    // Most names are plain ASCII and need no work.
    if (IsPlainAscii(bytes, mapBackslash)) return QString::fromLatin1(bytes);
    QString out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t codePoint = 0;
        const int length = DecodeUtf8(bytes, i, codePoint);
        if (length == 0) {
            AppendEscaped(out, bytes, i, 1);
            i += 1;
            continue;
        }
        if (codePoint == '\\' && mapBackslash) {
            out.append(QChar(kBackslashStandIn));
        } else if (codePoint == kBackslashStandIn) {
            // A real U+F05C in a name must not come back as a backslash.
            AppendEscaped(out, bytes, i, length);
        } else {
            AppendCodePoint(out, codePoint);
        }
        i += length;
    }
    return out;
}

QByteArray Encode(const QString& text, bool mapBackslash) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t unit = c.unicode();
        if (c.isLowSurrogate() && (i == 0 || !text[i - 1].isHighSurrogate()) &&
            unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF) {
            out.append(static_cast<char>(unit - kEscapeBase));
        } else if (unit == kBackslashStandIn && mapBackslash) {
            out.append('\\');
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out.append(text.mid(i, 2).toUtf8());
            ++i;
        } else {
            out.append(QString(c).toUtf8());
        }
    }
    return out;
}

}  // namespace

QString FromNativeName(const QByteArray& name) {
    return Decode(name, true);
}
QByteArray ToNativeName(const QString& name) {
    return Encode(name, true);
}
QString FromNativePath(const QByteArray& path) {
    QStringList parts;
    for (const QByteArray& part : path.split('/')) parts.append(FromNativeName(part));
    return parts.join(QLatin1Char('/'));
}
QByteArray ToNativePath(const QString& path) {
    QByteArrayList parts;
    for (const QString& part : path.split(QLatin1Char('/'))) parts.append(ToNativeName(part));
    return parts.join('/');
}

QString DisplayName(const QString& name) {
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i].unicode();
        const bool lone = name[i].isLowSurrogate() && (i == 0 || !name[i - 1].isHighSurrogate());
        if (lone && unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF)
            out += QStringLiteral("\\x") + QString::number(unit - kEscapeBase, 16).toUpper();
        else if (unit < 0x20)
            out += QChar(0x2400 + unit);
        else if (unit == 0x7F)
            out += QChar(0x2421);
        else if (unit == kBackslashStandIn)
            out += QLatin1Char('\\');
        else
            out += name[i];
    }
    return out;
}

}  // namespace platform
