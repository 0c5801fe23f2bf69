#include "update/TAdvertisement.h"

#include "net/FireEvent.h"

#include <QEvent>
#include <QVariant>

namespace {

constexpr int BannerHeight = 60;
constexpr int SidebarWidth = 120;

} // namespace

TAdvertisement::TAdvertisement(const QString& libraryFolder, QWidget* parent)
    : QWidget(parent), libraryFolder_(libraryFolder), library_(libraryFolder + QStringLiteral("/adimage")) {
    // The library paints the whole area; a background of our own would only flicker under it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(QStringLiteral("Sponsor banner"));
    applySize();
}

// The sidebar banner sits in the window, not in this control, so it is taken down by hand.
TAdvertisement::~TAdvertisement() {
    delete sidebar_;
}

void TAdvertisement::GetAdSizeAsXY(int& width, int& height) const {
    width = (AdSize == ad468x60 ? 468 : 120) + (Sidebar ? SidebarWidth : 0);
    height = BannerHeight;
}

void TAdvertisement::SetSize(TAdImageSize size) {
    AdSize = size;
    applySize();
}

void TAdvertisement::SetSidebar(bool sidebar) {
    Sidebar = sidebar;
    applySize();
}

void TAdvertisement::SetBounds(int left, int top, int width, int height) {
    // The fixed banner size holds the requested size back, so this places the control; its size
    // then follows from the requested width.
    setGeometry(left, top, width, height);
    Sidebar = (width >= 180 && width < 324) || width >= 528;
    AdSize = width < 324 ? ad120x60 : ad468x60;
    applySize();
}

// Fixed, so that a layout cannot stretch the banner.
void TAdvertisement::applySize() {
    int width = 0;
    int height = 0;
    GetAdSizeAsXY(width, height);
    setFixedSize(width, height);
}

void TAdvertisement::Loaded() {
    if (AutoStart)
        Execute();
}

bool TAdvertisement::Execute() {
    if (started_)
        return false;
    const qint32 sizeCode = AdSize == ad468x60 ? AdImageSize468x60 : AdImageSize120x60;
    const bool started = Initialize(SoftwareID, Version, sizeCode, Flags) != 0;
    if (Sidebar && !sidebar_)
        startSidebar();
    return started;
}

void TAdvertisement::startSidebar() {
    QWidget* top = window();
    auto* sidebar = new TAdvertisement(libraryFolder_, top);
    sidebar->AutoStart = false;
    sidebar->setCursor(cursor());
    sidebar->Flags = Flags;
    sidebar->SoftwareID = SoftwareID;
    sidebar->Version = Version;
    const QPoint at = mapTo(top, QPoint(width() - SidebarWidth, 0));
    sidebar->SetBounds(at.x(), at.y(), SidebarWidth, BannerHeight);
    if (OnAdChange)
        sidebar->OnAdChange = OnAdChange;
    if (OnClickThrough)
        sidebar->OnClickThrough = OnClickThrough;
    sidebar->show();
    sidebar->Execute();
    sidebar_ = sidebar;
    setFixedSize(width() - SidebarWidth, height());
}

quint16 TAdvertisement::Initialize(qint32 softwareId, qint32 version, qint32 sizeCode, TAdFlagSet flags) {
    return InitializeWindow(this, softwareId, version, sizeCode, flags);
}

quint16 TAdvertisement::InitializeWindow(QWidget* window, qint32 softwareId, qint32 version, qint32 sizeCode,
                                         TAdFlagSet flags) {
    // A missing library says nothing: the program simply runs without banners.
    if (started_ || !resolveEntryPoints())
        return 0;
    const qint32 flagsValue = flags.testFlag(adOfflineOnly) ? AdImageOfflineOnly : 0;
    started_ =
        initialize_(reinterpret_cast<quintptr>(window), softwareId, version, sizeCode, flagsValue) != 0;
    if (started_)
        started_ = startMessaging_(softwareId) != 0;
    return started_ ? 0xFFFF : 0;
}

// A library that failed to load, or lacked an entry point, is tried again at the next start.
bool TAdvertisement::resolveEntryPoints() {
    if (initialize_ && startMessaging_)
        return true;
    initialize_ = reinterpret_cast<AdImageInitialize>(library_.resolve(AdImageInitializeName));
    startMessaging_ = reinterpret_cast<AdImageStartMessaging>(library_.resolve(AdImageStartMessagingName));
    return initialize_ && startMessaging_;
}

void TAdvertisement::setBannerFiles(const QString& picturePath, const QString& pagePath) {
    setProperty("adimagePicture", picturePath);
    setProperty("adimagePage", pagePath);
    update();
}

bool TAdvertisement::event(QEvent* event) {
    if (event->type() == QEvent::Type(WM_ADDISPLAY)) {
        fire(OnAdChange, this);
        return true;
    }
    if (event->type() == QEvent::Type(WM_ADCLICK)) {
        fire(OnClickThrough, this);
        return true;
    }
    return QWidget::event(event);
}
