#pragma once

#include <QObject>
#include <QStringList>
#include <stdexcept>

class QSoundEffect;

// The media player's error: its text names the file and says what is wrong with it.
class EMediaError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An invisible player for wave files. A file name without a folder is looked for in the given
// folders in turn (the settings folder, then the program's folder).
class TMediaPlayer : public QObject {
    Q_OBJECT
public:
    explicit TMediaPlayer(QStringList searchFolders, QObject* parent = nullptr);
    ~TMediaPlayer() override;

    QString FileName;

    // Lets go of what the player held, then opens FileName; raises EMediaError (and cuts off a
    // sound still playing) when it is missing, unreadable or not a playable wave file.
    void Open();
    // Starts the opened sound from its beginning and returns at once; the same sound still
    // playing from the last time plays on.
    void Play();
    void Close();

    // Full path of the file currently opened, empty when closed.
    QString openedFile() const { return opened_; }

private:
    QString resolve(const QString& fileName) const;
    void openChecked();

    QStringList searchFolders_;
    QString opened_;
    QSoundEffect* effect_ = nullptr;
    // The file the effect holds, with its size and time, so a replaced file is loaded afresh.
    QString loaded_;
};
