#include "desktop/SkippedItems.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "platform/files/Wildcard.h"
#include "toolkit/MessageText.h"

namespace {

// Names shown in the whole message; each kind names at least one.
constexpr qsizetype kNamesShown = 10;

QString Heading(TSkippedItems::Kind kind) {
    switch (kind) {
        case TSkippedItems::Kind::NoRoom:
            return QStringLiteral("No room left");
        case TSkippedItems::Kind::Folder:
            return QStringLiteral("Folders");
        case TSkippedItems::Kind::OtherType:
            return QStringLiteral("Other types");
        case TSkippedItems::Kind::NotFound:
            return QStringLiteral("Not found");
        case TSkippedItems::Kind::NotLocal:
            return QStringLiteral("Not local files");
    }
    return {};
}

bool MatchesAnyPiece(const QString& name, const QString& mask) {
    const QStringList pieces = mask.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    return std::any_of(pieces.begin(), pieces.end(),
                       [&](const QString& piece) { return platform::MatchesMask(name, piece); });
}

}  // namespace

TSkippedItems::Kind TSkippedItems::KindOf(const QByteArray& nativePath, const QString& mask,
                                          bool playlistFull) {
    const QFileInfo file(QFile::decodeName(nativePath));
    if (file.isDir()) return Kind::Folder;
    if (!MatchesAnyPiece(file.fileName(), mask)) return Kind::OtherType;
    if (file.exists() && playlistFull) return Kind::NoRoom;
    return Kind::NotFound;
}

void TSkippedItems::Add(Kind kind, const QString& name) {
    names_[static_cast<std::size_t>(kind)].append(name);
}

bool TSkippedItems::IsEmpty() const {
    return std::all_of(names_.begin(), names_.end(),
                       [](const QStringList& names) { return names.isEmpty(); });
}

QString TSkippedItems::Message(int places) const {
    QString text =
        QStringLiteral("Not added to the playlist (only .wav and .avi files, at most %1):")
            .arg(places);
    qsizetype left = kNamesShown;
    for (std::size_t kind = 0; kind < names_.size(); ++kind) {
        const QStringList& names = names_[kind];
        if (names.isEmpty()) continue;
        const qsizetype shown = std::max<qsizetype>(1, left);
        left -= std::min(shown, names.size());
        text += QStringLiteral("\n%1 (%2): %3")
                    .arg(Heading(static_cast<Kind>(kind)))
                    .arg(names.size())
                    .arg(NameList(names, shown));
    }
    return text;
}
