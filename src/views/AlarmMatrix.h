#pragma once

#include "views/AlarmRow.h"

#include <QObject>

class QLineEdit;
class QPushButton;
class DialogService;
class TMediaPlayer;

// The "Alarms" tab: keeps every play-wav box enabled exactly while its row raises a colour,
// and lets the user choose the two alarm sounds with a preview.
class AlarmMatrix : public QObject {
    Q_OBJECT
public:
    struct Controls {
        AlarmRows rows;
        QLineEdit* EditYWavFileName;
        QPushButton* ButtonBrowseYwav;
        QLineEdit* EditRWavFileName;
        QPushButton* Button1;
        TMediaPlayer* MediaPlayer1;
    };

    AlarmMatrix(const Controls& controls, DialogService& dialogs, QObject* parent = nullptr);

    void ButtonBrowseYwavClick();
    void Button1Click();

private:
    static void applyPlayWavRule(const AlarmRow& row);
    void browseSound(QLineEdit* field);

    Controls c_;
    DialogService& dialogs_;
};
