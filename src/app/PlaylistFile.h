#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The saved playlist: an M3U list, "#EXTM3U" and then one native path per
// line, which other players open as it is. Saving writes a temporary file and renames it over the
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

    // Reads at most kMaxEntries absolute native paths; blank lines and '#'
    // lines are skipped, a relative line is taken from the playlist's folder
    // and a file:// URI is decoded. More entries, and lines that cannot
    // become a path here (other URIs), are left out and reported together in
    // 'warning'. Throws Exception when the file is missing, unreadable, not
    // text or too large.
    QList<QByteArray> Load(QString* warning) const;

  private:
    QString path_;
};
