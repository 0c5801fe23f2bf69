#pragma once

#include <QObject>
#include <QString>

class DialogService;
class QCheckBox;

// "Start with the desktop session": the box shows whether the desktop's autostart entry for this
// monitor exists, and ticking or clearing it (by mouse, keyboard or code) writes or removes the
// entry. The file system alone holds the answer, so the box is not kept in the settings file.
class SessionAutostart : public QObject {
    Q_OBJECT
public:
    struct Paths {
        QString entry;        // the autostart entry file
        QString program;      // the executable the session starts
        QString settingsFile; // so the session starts this very monitor
    };

    SessionAutostart(QCheckBox* CheckBoxAutostart, Paths paths, DialogService& dialogs,
                     QObject* parent = nullptr);

    // The entry in the user's XDG autostart folder (XDG_CONFIG_HOME, by default ~/.config).
    static QString entryPath();

private:
    void CheckBoxAutostartToggled(bool ticked);
    void writeEntry() const;
    void removeEntry() const;
    void showEntryState();

    QCheckBox* CheckBoxAutostart_;
    Paths paths_;
    DialogService& dialogs_;
};
