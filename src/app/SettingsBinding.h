#pragma once

#include <QList>

class QObject;
class Settings;

// Ties every control that shows a setting (an edit field, check box, drop-down list or memo named
// after the setting's key) to its value: the control shows the value, and an edit of the control,
// by the user or by the program, changes the value. A value that changes elsewhere (the settings
// file being loaded) is shown, and the control then reacts as it would to the user's change.
void bindSettings(const QList<QObject*>& components, Settings& settings);
