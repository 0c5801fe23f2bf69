#pragma once

#include <QString>

class TMediaPlayer;

// Hands the sound field's text to the player unchanged, opens it (raising the player's error
// when it cannot) and starts it without waiting for the end.
void AlarmSoundPlay(TMediaPlayer& player, const QString& fileName);
