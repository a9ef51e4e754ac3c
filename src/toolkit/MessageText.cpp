#include "toolkit/MessageText.h"

#include <QRegularExpression>

namespace {

// A message box wraps at spaces only: a longer run would widen it.
constexpr qsizetype kLongestRun = 64;
constexpr qsizetype kLongestText = 1200;
const QString kEllipsis = QStringLiteral("\u2026");

QString ShortenRun(const QString& run) {
    if (run.size() <= kLongestRun) return run;
    const qsizetype kept = (kLongestRun - 1) / 2;
    return run.left(kept) + kEllipsis + run.right(kept);
}

}  // namespace

QString NameList(const QStringList& names, qsizetype most) {
    QString text = names.mid(0, most).join(QStringLiteral(", "));
    if (names.size() > most) text += QStringLiteral(" and %1 more").arg(names.size() - most);
    return text;
}

QString FitForMessageBox(const QString& text) {
    static const QRegularExpression run(QStringLiteral("\\S{%1,}").arg(kLongestRun + 1));
    QString fitted;
    qsizetype from = 0;
    for (auto it = run.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        fitted += text.mid(from, match.capturedStart() - from) + ShortenRun(match.captured());
        from = match.capturedEnd();
    }
    fitted += text.mid(from);
    return fitted.size() <= kLongestText ? fitted : fitted.left(kLongestText) + kEllipsis;
}
