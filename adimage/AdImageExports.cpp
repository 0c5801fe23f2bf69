// The library's entry points, found by name by the banner controls.
#include "AdImageBanner.h"
#include "update/AdImageEntryPoints.h"

#include <QList>
#include <QPointer>
#include <type_traits>

namespace {

// The banners handed out, one per control at most. A banner is a child of its control and goes
// with it; its entry then reads null.
QList<QPointer<AdImageBanner>>& banners() {
    static QList<QPointer<AdImageBanner>> list;
    return list;
}

} // namespace

// The version is not shown, and the banners never go online, so offline-only changes nothing.
extern "C" Q_DECL_EXPORT std::uint16_t Initialize(std::uintptr_t window, std::int32_t softwareId,
                                                  std::int32_t, std::int32_t sizeCode, std::int32_t) {
    auto* control = reinterpret_cast<QWidget*>(window);
    if (!control || (sizeCode != AdImageSize468x60 && sizeCode != AdImageSize120x60))
        return 0;
    QList<QPointer<AdImageBanner>>& list = banners();
    for (const QPointer<AdImageBanner>& banner : list) {
        if (banner && banner->parentWidget() == control)
            delete banner.data();
    }
    list.removeIf([](const QPointer<AdImageBanner>& banner) { return banner.isNull(); });
    list.append(new AdImageBanner(control, softwareId));
    return 1;
}

extern "C" Q_DECL_EXPORT std::uint16_t StartMessaging(std::int32_t softwareId) {
    bool any = false;
    for (const QPointer<AdImageBanner>& banner : banners()) {
        if (banner && banner->softwareId() == softwareId && !banner->started()) {
            banner->start();
            any = true;
        }
    }
    return any ? 1 : 0;
}

static_assert(std::is_same_v<decltype(&Initialize), AdImageInitialize>);
static_assert(std::is_same_v<decltype(&StartMessaging), AdImageStartMessaging>);
