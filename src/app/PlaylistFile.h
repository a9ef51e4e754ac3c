#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The saved playlist: a plain list of native paths, one per line, which M3U
// players also read. Saving writes a temporary file and renames it over the
// old one, so a crash or a full disk never leaves a damaged or empty list.
class TPlaylistFile {
public:
    static constexpr int kMaxEntries = 20;

    // $XDG_DATA_HOME/brelmo/brelmo.txt, by default ~/.local/share/brelmo/brelmo.txt.
    static QString DefaultPath();

    explicit TPlaylistFile(QString path = DefaultPath());

    const QString& Path() const { return path_; }
    bool Exists() const;

    // Throws Exception (with a message naming the file or the entry) when a
    // path holds a line break or the file cannot be written; the old file is
    // then left as it was.
    void Save(const QList<QByteArray>& nativePaths) const;

    // Reads at most kMaxEntries paths; blank lines and '#' lines are skipped.
    // More entries are ignored and reported in 'warning'. Throws Exception
    // when the file is missing, unreadable, not text or too large.
    QList<QByteArray> Load(QString* warning) const;

private:
    QString path_;
};
