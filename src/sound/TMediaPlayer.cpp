#include "sound/TMediaPlayer.h"

#include "sound/WaveFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace {

// Enough of the file to reach the format chunk of any ordinary wave file.
constexpr qint64 HeaderReadLimit = 1 << 20;

[[noreturn]] void fail(const QString& fileName, const QString& why) {
    throw EMediaError(
        QStringLiteral("Unable to play the sound file \"%1\": %2.").arg(fileName, why).toStdString());
}

} // namespace

TMediaPlayer::TMediaPlayer(QStringList searchFolders, QObject* parent)
    : QObject(parent), searchFolders_(std::move(searchFolders)) {}

TMediaPlayer::~TMediaPlayer() = default;

QString TMediaPlayer::resolve(const QString& fileName) const {
    if (fileName.isEmpty() || QFileInfo(fileName).isAbsolute())
        return fileName;
    for (const QString& folder : searchFolders_) {
        const QString candidate = QDir(folder).filePath(fileName);
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return fileName;
}

void TMediaPlayer::Open() {
    // What was open is let go; a sound of it still playing is stopped by a failed open or by
    // playing another one.
    opened_.clear();
    try {
        openChecked();
    } catch (...) {
        Close();
        throw;
    }
}

void TMediaPlayer::openChecked() {
    if (FileName.isEmpty())
        fail(FileName, QStringLiteral("no file is named"));
    const QString path = resolve(FileName);
    QFile file(path);
    if (!QFileInfo(path).isFile())
        fail(FileName, QStringLiteral("the file was not found"));
    if (!file.open(QIODevice::ReadOnly))
        fail(FileName, QStringLiteral("the file cannot be read"));
    const WaveFile::Inspection wave = WaveFile::inspect(file.read(HeaderReadLimit));
    if (!wave.format)
        fail(FileName, wave.problem);
    opened_ = QFileInfo(path).absoluteFilePath();
}

void TMediaPlayer::Play() {
    if (opened_.isEmpty())
        return;
    if (!effect_)
        effect_ = new QSoundEffect(this);
    // Decoding a sound costs more than checking a page, and an outage plays the same one for
    // every page: it is loaded again only when another file, or a changed one, is played.
    const QFileInfo file(opened_);
    const QString stamp = opened_ + QLatin1Char('|') + QString::number(file.size()) + QLatin1Char('|') +
                          QString::number(file.lastModified().toMSecsSinceEpoch());
    if (stamp != loaded_) {
        effect_->stop();
        effect_->setSource(QUrl::fromLocalFile(opened_));
        loaded_ = stamp;
    } else if (effect_->isPlaying()) {
        // The same alarm again while it still sounds (an outage raises one per page): it plays
        // on rather than being cut off and started over.
        return;
    }
    effect_->play();
}

void TMediaPlayer::Close() {
    if (effect_)
        effect_->stop();
    opened_.clear();
}
