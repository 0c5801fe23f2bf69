#include "app/BannerStrip.h"

#include "app/ComponentList.h"
#include "update/TAdvertisement.h"

#include <QWidget>

namespace {

TAdvertisement* advertisement(ComponentList& components, const char* name, const QString& libraryFolder,
                              QWidget* panel, int left, int width, qint32 version) {
    auto* ad = components.add(new TAdvertisement(libraryFolder, panel), name);
    // The width picks the banner size and leaves the sidebar off; it starts on its own, with
    // no flags.
    ad->SetBounds(left, 4, width, 60);
    ad->SoftwareID = 468;
    ad->Version = version;
    return ad;
}

} // namespace

// The banners sit at fixed places: a layout would move them off the areas the banners are made for.
BannerStrip BannerStrip::build(ComponentList& components, const QString& libraryFolder) {
    const QString hint = QStringLiteral("Help keep this software free by visiting our sponsors.");
    BannerStrip b{};
    b.Panel3 = components.add(new QWidget, "Panel3");
    b.Panel3->setFixedHeight(68);
    b.Panel3->setToolTip(hint);
    b.Advertisement1 = advertisement(components, "Advertisement1", libraryFolder, b.Panel3, 4, 468, 6);
    b.Advertisement1->setToolTip(hint);
    b.Advertisement2 = advertisement(components, "Advertisement2", libraryFolder, b.Panel3, 474, 120, 0);
    b.Advertisement2->setAccessibleName(QStringLiteral("Small sponsor banner"));
    return b;
}
