#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

// What the player was handed but did not add to the playlist, by kind, and
// the one message that says so: every kind counted and named, with only a
// few names in all, so that the message fits any screen.
class TSkippedItems {
  public:
    enum class Kind { NoRoom, Folder, OtherType, NotFound, NotLocal };

    // The kind of a local file that the file list did not add: a folder, a
    // name outside 'mask' (pieces split at ";"), no room left when
    // 'playlistFull', else a file the list does not show (gone, hidden).
    static Kind KindOf(const QByteArray& nativePath, const QString& mask, bool playlistFull);

    void Add(Kind kind, const QString& name);
    bool IsEmpty() const;
    // "Not added to the playlist (...):" and a line per kind; 'places' is the
    // playlist's size.
    QString Message(int places) const;

  private:
    std::array<QStringList, 5> names_;
};
