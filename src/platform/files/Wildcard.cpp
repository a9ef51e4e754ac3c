#include "platform/files/Wildcard.h"

#include <cstring>

#include "platform/files/NativeNames.h"

namespace platform {

namespace {

// '*' and '?' matching; 'fold' brings a name's character to the mask's case.
// The mask's '*' is tested first: in a name, '*' is a character like any other.
template <class Char, class Fold>
bool WildMatch(const Char* name, qsizetype nameLength, const Char* mask, qsizetype maskLength,
               Fold fold) {
    qsizetype n = 0, m = 0, star = -1, mark = 0;
    while (n < nameLength) {
        if (m < maskLength && mask[m] == Char('*')) {
            star = m++;
            mark = n;
        } else if (m < maskLength && (mask[m] == Char('?') || mask[m] == fold(name[n]))) {
            ++n, ++m;
        } else if (star >= 0) {
            m = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (m < maskLength && mask[m] == Char('*')) ++m;
    return m == maskLength;
}

// "name.*" also stands for "name" without any extension.
template <class Char, class Fold>
bool MatchesWithExtensionRule(const Char* name, qsizetype nameLength, const Char* mask,
                              qsizetype maskLength, Fold fold) {
    if (WildMatch(name, nameLength, mask, maskLength, fold)) return true;
    const bool anyExtension =
        maskLength >= 2 && mask[maskLength - 2] == Char('.') && mask[maskLength - 1] == Char('*');
    return anyExtension && WildMatch(name, nameLength, mask, maskLength - 2, fold);
}

// Both texts already case-folded.
bool MatchesFolded(const QString& name, const QString& mask) {
    return MatchesWithExtensionRule(name.constData(), name.size(), mask.constData(), mask.size(),
                                    [](QChar c) { return c; });
}

bool IsAscii(const char* text) {
    for (; *text; ++text)
        if (static_cast<unsigned char>(*text) >= 0x80) return false;
    return true;
}

}  // namespace

CompiledMask::CompiledMask(const QString& mask)
    : folded_(mask.toCaseFolded()),
      matchesAll_(mask == QLatin1String("*") || mask == QLatin1String("*.*")) {
    const QByteArray utf8 = mask.toUtf8();
    isAscii_ = IsAscii(utf8.constData());
    if (isAscii_) ascii_ = utf8.toLower();
}

bool CompiledMask::Matches(const char* nativeName) const {
    if (matchesAll_) return true;
    if (isAscii_ && IsAscii(nativeName)) {
        return MatchesWithExtensionRule(
            nativeName, static_cast<qsizetype>(std::strlen(nativeName)), ascii_.constData(),
            ascii_.size(), [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    }
    return MatchesFolded(FromNativeName(QByteArray(nativeName)).toCaseFolded(), folded_);
}

bool MatchesMask(const QString& name, const QString& mask) {
    return MatchesFolded(name.toCaseFolded(), mask.toCaseFolded());
}

}  // namespace platform
