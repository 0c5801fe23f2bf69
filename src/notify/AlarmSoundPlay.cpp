#include "notify/AlarmSoundPlay.h"

#include "notify/TMediaPlayer.h"

void AlarmSoundPlay(TMediaPlayer& player, const QString& fileName) {
    player.FileName = fileName;
    player.Open();
    player.Play();
}
