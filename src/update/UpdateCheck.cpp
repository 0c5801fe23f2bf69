#include "update/UpdateCheck.h"

#include "net/IniFile.h"
#include "net/IntegerText.h"
#include "net/TNMHTTP.h"
#include "notify/DialogService.h"
#include "update/PictureName.h"
#include "update/TAdvertisement.h"
#include "views/TabVisibility.h"

#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <stdexcept>

namespace {

// What a server may send, at most: far more than any real root file, banner page or picture.
// Anything longer is not one, and is never kept.
constexpr qint64 LongestRootFile = 1024 * 1024;
constexpr qint64 LongestPage = 1024 * 1024;
constexpr qint64 LongestPicture = 5 * 1024 * 1024;

// The software id a text gives when it is not a number.
constexpr qint32 FallbackSoftwareID = 468;

const QString RootFile = QStringLiteral("KVr.ini");
const QString DefaultPage = QStringLiteral("default1_.html");

QString read(const IniFile& ini, const QString& section, const char* key, const QString& fallback = {}) {
    return ini.value(section, QLatin1String(key)).value_or(fallback);
}

} // namespace

UpdateCheck::UpdateCheck(const Controls& controls, Calls calls, Settings settings, DialogService& dialogs,
                         QObject* parent)
    : QObject(parent), c_(controls), calls_(std::move(calls)), settings_(std::move(settings)),
      dialogs_(dialogs) {}

QString UpdateCheck::configuredRootAddress() {
    return qEnvironmentVariableIsSet("KORVANE_UPDATE_ROOT") ? qEnvironmentVariable("KORVANE_UPDATE_ROOT")
                                                            : QStringLiteral(KORVANE_UPDATE_ROOT);
}

QString UpdateCheck::file(const QString& name) const {
    return settings_.folder + QLatin1Char('/') + name;
}

void UpdateCheck::stop() {
    stopped_ = true;
    c_.NMHTTPback->Abort();
}

void UpdateCheck::Advertisement1AdChange() {
    if (!firstRun_)
        return;
    firstRun_ = false;
    // Without an address, or when the server fails, a root file kept from an earlier run
    // still counts.
    if (!settings_.rootAddress.isEmpty())
        download(settings_.rootAddress, file(RootFile), LongestRootFile);
    if (stopped_ || !QFile::exists(file(RootFile)))
        return;
    const IniFile ini = IniFile::load(file(RootFile));
    // Each group stands alone: one that fails leaves the others to run.
    for (void (UpdateCheck::*group)(const IniFile&) :
         {&UpdateCheck::versionGroup, &UpdateCheck::defaultPageGroup, &UpdateCheck::defaultPictureGroup,
          &UpdateCheck::startPageGroup}) {
        if (stopped_)
            return;
        try {
            (this->*group)(ini);
        } catch (...) {
        }
    }
}

// Everything from the server goes to a file beside the target first, and replaces the target
// only when the server answered with success in full: an error page, a cut-off transfer or a
// flood never takes the place of a good file.
bool UpdateCheck::download(const QString& url, const QString& target, qint64 longest) {
    const QString partial = target + QLatin1Char('_');
    TNMHTTP& http = *c_.NMHTTPback;
    bool tooLong = false;
    http.InputFileMode = true;
    http.Body = partial;
    http.OnPacketRecvd = [&](QObject*) {
        if (qint64(http.BytesRecvd) > longest && !tooLong) {
            tooLong = true;
            http.Abort();
        }
    };
    bool fetched = false;
    try {
        http.Get(url);
        fetched = !tooLong && http.ReplyNumber >= 200 && http.ReplyNumber < 300;
    } catch (...) {
    }
    http.OnPacketRecvd = nullptr;
    if (!fetched || stopped_) {
        QFile::remove(partial);
        return false;
    }
    QFile::remove(target);
    return QFile::rename(partial, target);
}

void UpdateCheck::versionGroup(const IniFile& ini) {
    const QString& tag = settings_.versionTag;
    for (const QString& section : {QStringLiteral("General"), tag}) {
        const QString id = read(ini, section, "AdID");
        if (!id.isEmpty())
            c_.Advertisement1->SoftwareID = IntegerText::parse(id).value_or(FallbackSoftwareID);
    }
    const QString last = read(ini, QStringLiteral("Updates"), "last");
    if (last != tag) {
        if (!last.isEmpty() &&
            dialogs_.confirm(QStringLiteral("Confirm"),
                             QStringLiteral("There a new version available, do you want to download it?"))) {
            // Without a page of its own the update is announced at the root file's folder, on
            // the server the packager chose.
            const QString folderPage =
                QUrl(settings_.rootAddress).resolved(QUrl(QStringLiteral("."))).toString();
            c_.EditRootTo->setText(read(ini, QStringLiteral("Updates"), "updateURL", folderPage));
            setRootTab(true, read(ini, QStringLiteral("Updates"), "HTMLtile", QStringLiteral("Update!")));
            c_.PageControl1->setCurrentWidget(c_.TabSheetRoot);
            calls_.BrowseToExecute();
        }
        return;
    }
    const QString root = read(ini, tag, "root");
    if (!root.isEmpty()) {
        c_.EditRootTo->setText(root);
        c_.TimerHTML1->start();
    }
    const std::optional<int> visible = IntegerText::parse(read(ini, tag, "HTMLvis", QStringLiteral("0")));
    if (!visible)
        throw std::runtime_error("HTMLvis is not a number");
    setRootTab(*visible != 0, read(ini, tag, "HTMLtile", QStringLiteral("FYI")));
}

void UpdateCheck::setRootTab(bool visible, const QString& caption) {
    TabVisibility::setShown(*c_.PageControl1, c_.TabSheetRoot, visible);
    c_.PageControl1->setTabText(c_.PageControl1->indexOf(c_.TabSheetRoot), caption);
}

// The banner's page is fetched again on every run.
void UpdateCheck::defaultPageGroup(const IniFile& ini) {
    const QString page = read(ini, QStringLiteral("General"), "AdDefHTML");
    if (!page.isEmpty())
        download(page, file(DefaultPage), LongestPage);
}

// The picture is fetched once and kept: a new picture comes under a new name.
void UpdateCheck::defaultPictureGroup(const IniFile& ini) {
    const QString address = read(ini, QStringLiteral("General"), "AdDefGif");
    const QString name = PictureName::fromAddress(address);
    if (!name.isEmpty() && !QFile::exists(file(name)))
        download(address, file(name), LongestPicture);
    const QString picture = name.isEmpty() || !QFile::exists(file(name)) ? QString() : file(name);
    const QString page = QFile::exists(file(DefaultPage)) ? file(DefaultPage) : QString();
    c_.Advertisement1->setBannerFiles(picture, page);
}

void UpdateCheck::startPageGroup(const IniFile& ini) {
    const QString start = read(ini, QStringLiteral("General"), "DefURL");
    if (start.isEmpty()) {
        calls_.GoHomeWebBrowser2();
        return;
    }
    c_.EditBrowseTo->setText(start);
    calls_.ButtonBrowseGoClick();
}
