#include "sound/AlarmSoundPlay.h"

#include "sound/TMediaPlayer.h"

void AlarmSoundPlay(TMediaPlayer& player, const QString& fileName) {
    player.FileName = fileName;
    player.Open();
    player.Play();
}
