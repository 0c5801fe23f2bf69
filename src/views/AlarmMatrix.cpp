#include "views/AlarmMatrix.h"

#include "notify/DialogService.h"
#include "sound/AlarmSoundPlay.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

AlarmMatrix::AlarmMatrix(const Controls& controls, DialogService& dialogs, QObject* parent)
    : QObject(parent), c_(controls), dialogs_(dialogs) {
    for (const AlarmRow& row : c_.rows) {
        if (!row.PlayWav)
            continue;
        for (QCheckBox* box : {row.Yellow, row.Red, row.PlayWav})
            connect(box, &QCheckBox::toggled, this, [row] { applyPlayWavRule(row); });
        applyPlayWavRule(row);
    }
    // The preview raises the player's error when the chosen file cannot be played.
    connect(c_.ButtonBrowseYwav, &QPushButton::clicked, this,
            reported(dialogs_, [this] { ButtonBrowseYwavClick(); }));
    connect(c_.Button1, &QPushButton::clicked, this, reported(dialogs_, [this] { Button1Click(); }));
}

void AlarmMatrix::applyPlayWavRule(const AlarmRow& row) {
    // Only the enabled state follows the colours; the tick stays and still counts.
    row.PlayWav->setEnabled(row.Yellow->isChecked() || row.Red->isChecked());
}

void AlarmMatrix::ButtonBrowseYwavClick() {
    browseSound(c_.EditYWavFileName);
}

void AlarmMatrix::Button1Click() {
    browseSound(c_.EditRWavFileName);
}

void AlarmMatrix::browseSound(QLineEdit* field) {
    const QString chosen =
        dialogs_.openFileName(QStringLiteral("*.wav"), QStringLiteral("*.wav"), QStringLiteral("*.wav"));
    if (chosen.isEmpty())
        return;
    field->setText(chosen);
    AlarmSoundPlay(*c_.MediaPlayer1, field->text());
}
