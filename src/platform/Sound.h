#pragma once

#include <QString>

#include <functional>

// Plays a sound file without waiting for it, through the first of paplay and
// aplay found on the path; a missing file or player is skipped silently.
void PlaySoundFileAsync(const QString& path);

// Tests replace the player to hear what would be played. An empty function
// restores the real one; the previous player is returned.
using SoundPlayer = std::function<void(const QString& path)>;
SoundPlayer setSoundPlayer(SoundPlayer player);
