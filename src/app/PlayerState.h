#pragma once

#include <QString>
#include <array>
#include <cstdint>

// The playlist: slots 1 to 20, each a full path or empty. Slots are never
// cleared; a slot number outside 1..20 reads as the empty path and is not
// written.
class TPlaylist {
  public:
    static constexpr int kSlots = 20;

    const QString& operator[](int slot) const;
    void Set(int slot, const QString& path);

  private:
    std::array<QString, kSlots> slots_;
};

// The player state shared by the main window's handlers: process-wide, zero
// or empty at start, never stored.
extern TPlaylist Playlist;
extern std::int32_t PlaylistCount;
extern std::int32_t PlaylistIndex;
extern bool IsPlaying;
extern bool HelpShown;

// Back to the start-up state (tests run several windows in one process).
void ResetPlayerState();
