#include "app/PlayerState.h"

TPlaylist Playlist;
std::int32_t PlaylistCount = 0;
std::int32_t PlaylistIndex = 0;
bool IsPlaying = false;
bool HelpShown = false;

const QString& TPlaylist::operator[](int slot) const {
    static const QString empty;
    return slot >= 1 && slot <= kSlots ? slots_[slot - 1] : empty;
}

void TPlaylist::Set(int slot, const QString& path) {
    if (slot >= 1 && slot <= kSlots) slots_[slot - 1] = path;
}

void ResetPlayerState() {
    Playlist = TPlaylist();
    PlaylistCount = 0;
    PlaylistIndex = 0;
    IsPlaying = false;
    HelpShown = false;
}
