#include "app/SessionAutostart.h"

#include "app/DesktopExec.h"
#include "notify/DialogService.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <stdexcept>

namespace {

std::runtime_error fileError(const char* what, const QString& path, const QString& reason) {
    return std::runtime_error(QStringLiteral("Unable to %1 %2: %3")
                                  .arg(QLatin1String(what), QDir::toNativeSeparators(path), reason)
                                  .toStdString());
}

} // namespace

SessionAutostart::SessionAutostart(QCheckBox* CheckBoxAutostart, Paths paths, DialogService& dialogs,
                                   QObject* parent)
    : QObject(parent), CheckBoxAutostart_(CheckBoxAutostart), paths_(std::move(paths)), dialogs_(dialogs) {
    showEntryState();
    connect(CheckBoxAutostart_, &QCheckBox::toggled, this, &SessionAutostart::CheckBoxAutostartToggled);
}

QString SessionAutostart::entryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/org.korvane.Korvane.desktop");
}

void SessionAutostart::CheckBoxAutostartToggled(bool ticked) {
    try {
        if (ticked)
            writeEntry();
        else
            removeEntry();
    } catch (const std::exception& error) {
        dialogs_.showError(QString::fromUtf8(error.what()));
        // The box goes back to telling the truth about the entry.
        showEntryState();
    }
}

void SessionAutostart::writeEntry() const {
    const QString folder = QFileInfo(paths_.entry).absolutePath();
    if (!QDir().mkpath(folder))
        throw fileError("create", folder, QStringLiteral("the folder cannot be made"));
    const QString exec = DesktopExec::line(
        {paths_.program, QStringLiteral("--minimized"), QStringLiteral("--settings"), paths_.settingsFile});
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Korvane\n"
                                        "Comment=Watches the health of web servers and of their pages\n"
                                        "Exec=%1\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(exec);
    QSaveFile file(paths_.entry);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw fileError("write", paths_.entry, file.errorString());
}

void SessionAutostart::removeEntry() const {
    QFile file(paths_.entry);
    if (file.exists() && !file.remove())
        throw fileError("remove", paths_.entry, file.errorString());
}

void SessionAutostart::showEntryState() {
    const QSignalBlocker quiet(CheckBoxAutostart_);
    CheckBoxAutostart_->setChecked(QFileInfo::exists(paths_.entry));
}
