#pragma once

#include "settings/AlarmCondition.h"

#include <QList>

// One box of the alarm matrix: whether the condition raises the reaction.
struct AlarmBox {
    const char* name; // the box's name, and its key in the settings file
    AlarmCondition condition;
    AlarmReaction reaction;
    bool ticked; // the design default
};

// The boxes in the groups the window creates them in, which is the order the settings file keeps.
// The sound file fields come between the groups: after the first, the yellow alarm's sound;
// after the play-wav boxes, the red alarm's.
namespace AlarmBoxes {

const QList<AlarmBox>& first();
const QList<AlarmBox>& playWav();
// The change rows, then the rows added since (their boxes come last, so that the keys of an
// older settings file keep their places), then the chat column.
const QList<AlarmBox>& changes();
const QList<AlarmBox>& later();
const QList<AlarmBox>& chat();

// The box of a condition and a reaction; null where the matrix has none ("No Error" has only
// its log and chat boxes).
const AlarmBox* find(AlarmCondition condition, AlarmReaction reaction);

} // namespace AlarmBoxes
