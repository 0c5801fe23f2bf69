#include "app/BannerStrip.h"

#include "app/ComponentList.h"

#include <QHBoxLayout>
#include <QWidget>

BannerStrip BannerStrip::build(ComponentList& components) {
    BannerStrip b{};
    b.Panel3 = components.add(new QWidget, "Panel3");
    b.Panel3->setFixedHeight(70);
    b.Panel3->setToolTip(QStringLiteral("Help keep this software free by visiting our sponsors."));
    b.Advertisement1 = components.add(new QWidget, "Advertisement1");
    b.Advertisement1->setFixedSize(468, 60);
    b.Advertisement2 = components.add(new QWidget, "Advertisement2");
    b.Advertisement2->setFixedSize(120, 60);
    auto* layout = new QHBoxLayout(b.Panel3);
    layout->addWidget(b.Advertisement1);
    layout->addStretch(1);
    layout->addWidget(b.Advertisement2);
    return b;
}
