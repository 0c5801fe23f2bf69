#pragma once

#include <QString>

class ComponentList;
class QWidget;
class TAdvertisement;

// The banner strip below the tabs with its two banner areas.
struct BannerStrip {
    QWidget* Panel3;
    TAdvertisement* Advertisement1;
    TAdvertisement* Advertisement2;

    // libraryFolder is where the banners' library is.
    static BannerStrip build(ComponentList& components, const QString& libraryFolder);
};
