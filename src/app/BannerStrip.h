#pragma once

class ComponentList;
class QWidget;

// The banner strip below the tabs with its two banner areas.
struct BannerStrip {
    QWidget* Panel3;
    QWidget* Advertisement1;
    QWidget* Advertisement2;

    static BannerStrip build(ComponentList& components);
};
