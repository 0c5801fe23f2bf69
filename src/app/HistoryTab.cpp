#include "app/HistoryTab.h"

#include "app/ControlFactory.h"
#include "app/HistoryChart.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace ControlFactory;

HistoryTab HistoryTab::build(ComponentList& components) {
    HistoryTab t{};
    t.TabSheetHistory = components.add(new QWidget, "TabSheetHistory");
    t.ComboHistoryPage = components.add(new QComboBox, "ComboHistoryPage");
    t.ComboHistoryPage->setToolTip(QStringLiteral("The page whose history is shown"));
    // The page shown follows the list and the grid; it is no setting.
    t.ComboHistoryPage->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    t.ComboHistoryPage->setMinimumContentsLength(40);

    const std::pair<const char*, const char*> ranges[] = {{"ButtonHistoryDay", "24 h"},
                                                          {"ButtonHistoryWeek", "7 d"},
                                                          {"ButtonHistoryMonth", "30 d"},
                                                          {"ButtonHistoryYear", "1 y"}};
    auto* group = new QButtonGroup(t.TabSheetHistory);
    for (int i = 0; const auto& [name, caption] : ranges) {
        QPushButton* range = button(components, name, QString::fromLatin1(caption),
                                    QStringLiteral("Show the last %1").arg(QString::fromLatin1(caption)));
        range->setCheckable(true);
        range->setAccessibleName(QStringLiteral("Range ") + QString::fromLatin1(caption));
        group->addButton(range);
        t.ButtonsRange[i++] = range;
    }
    t.ButtonsRange[0]->setChecked(true);

    t.ChartHistory = components.add(new HistoryChart, "ChartHistory");
    t.TableOutages = components.add(new QTableWidget(0, 4), "TableOutages");
    t.TableOutages->setHorizontalHeaderLabels(
        {QStringLiteral("Start"), QStringLiteral("End"), QStringLiteral("Length"), QStringLiteral("Reason")});
    t.TableOutages->setAccessibleName(QStringLiteral("Outages"));
    t.TableOutages->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t.TableOutages->setSelectionBehavior(QAbstractItemView::SelectRows);
    t.TableOutages->verticalHeader()->hide();
    t.TableOutages->horizontalHeader()->setStretchLastSection(true);
    t.ButtonExportHistory = button(components, "ButtonExportHistory", QStringLiteral("Export history\u2026"),
                                   QStringLiteral("Write every kept check of every page to a CSV file"));
    t.LabelHistoryState = components.add(new QLabel, "LabelHistoryState");
    t.LabelHistoryState->setWordWrap(true);

    QLabel* pageCaption = label(QStringLiteral("&Page"));
    pageCaption->setBuddy(t.ComboHistoryPage);
    auto* top = new QHBoxLayout;
    top->addWidget(pageCaption);
    top->addWidget(t.ComboHistoryPage, 1);
    for (QPushButton* range : t.ButtonsRange)
        top->addWidget(range);
    QLabel* outagesCaption = label(QStringLiteral("&Outages"));
    outagesCaption->setBuddy(t.TableOutages);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(outagesCaption);
    bottom->addWidget(t.LabelHistoryState, 1);
    bottom->addWidget(t.ButtonExportHistory);

    auto* layout = new QVBoxLayout(t.TabSheetHistory);
    layout->addLayout(top);
    layout->addWidget(t.ChartHistory, 3);
    layout->addLayout(bottom);
    layout->addWidget(t.TableOutages, 2);
    return t;
}
