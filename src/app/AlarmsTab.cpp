#include "app/AlarmsTab.h"

#include "app/ControlFactory.h"
#include "settings/AlarmBoxes.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

using namespace ControlFactory;

namespace {

// The matrix's columns, in the order of the reactions.
enum Column { L, Y, R, PW, M1, M2, M3, CH };

// What a screen reader says for a box of each column, after the row's name.
const char* const ColumnNames[] = {"log",      "yellow alarm", "red alarm", "play wav",
                                   "email #1", "email #2",     "email #3",  "chat"};

constexpr int HeadingRows = 2;
constexpr int FirstBoxColumn = 1;

QCheckBox*& slot(AlarmRow& row, Column column) {
    switch (column) {
    case L:
        return row.Log;
    case Y:
        return row.Yellow;
    case R:
        return row.Red;
    case PW:
        return row.PlayWav;
    case M1:
        return row.Email1;
    case M2:
        return row.Email2;
    case M3:
        return row.Email3;
    case CH:
        break;
    }
    return row.Chat;
}

// The boxes are created in the order the settings file keeps.
void createBoxes(ComponentList& components, AlarmRows& rows, QGridLayout* grid,
                 const QList<AlarmBox>& designs) {
    for (const AlarmBox& design : designs) {
        const auto column = Column(design.reaction);
        QCheckBox* box = checkBox(components, design.name, {}, design.ticked);
        box->setAccessibleName(alarmConditionName(design.condition) + QStringLiteral(": ") +
                               QLatin1String(ColumnNames[column]));
        slot(rows[std::size_t(design.condition)], column) = box;
        grid->addWidget(box, HeadingRows + int(design.condition), FirstBoxColumn + column, Qt::AlignCenter);
    }
}

void addHeadings(QGridLayout* grid) {
    auto heading = [&](const QString& text, int row, int column, int span = 1) {
        grid->addWidget(label(text), row, FirstBoxColumn + column, 1, span, Qt::AlignCenter);
    };
    heading(QStringLiteral("Alarm"), 0, Y, 2);
    heading(QStringLiteral("Play"), 0, PW);
    heading(QStringLiteral("Send"), 0, M1, 3);
    heading(QStringLiteral("Log"), 1, L);
    heading(QStringLiteral("Yellow"), 1, Y);
    heading(QStringLiteral("Red "), 1, R);
    heading(QStringLiteral("wav"), 1, PW);
    heading(QStringLiteral("Email"), 1, M2);
    heading(QStringLiteral("Chat"), 1, CH);
    heading(QStringLiteral("#1"), HeadingRows + AlarmConditionCount, M1);
    heading(QStringLiteral("#2"), HeadingRows + AlarmConditionCount, M2);
    heading(QStringLiteral("#3"), HeadingRows + AlarmConditionCount, M3);
    for (int row = 0; row < AlarmConditionCount; ++row)
        grid->addWidget(label(alarmConditionName(AlarmCondition(row))), HeadingRows + row, 0, Qt::AlignRight);
}

} // namespace

AlarmsTab AlarmsTab::build(ComponentList& components) {
    AlarmsTab t{};
    t.TabSheet5 = components.add(new QWidget, "TabSheet5");
    auto* grid = new QGridLayout;
    addHeadings(grid);

    createBoxes(components, t.rows, grid, AlarmBoxes::first());
    t.EditYWavFileName = edit(components, "EditYWavFileName", QStringLiteral("td.wav"),
                              QStringLiteral("Play this when a Yellow alarm happens"));
    createBoxes(components, t.rows, grid, AlarmBoxes::playWav());
    t.EditRWavFileName = edit(components, "EditRWavFileName", QStringLiteral("problem.wav"),
                              QStringLiteral("Play this when a Red alarm happens"));
    createBoxes(components, t.rows, grid, AlarmBoxes::changes());
    t.ButtonBrowseYwav = button(components, "ButtonBrowseYwav", QStringLiteral("Browse"),
                                QStringLiteral("Browse for a wav file"));
    t.Button1 =
        button(components, "Button1", QStringLiteral("Browse"), QStringLiteral("Browse for a wav file"));
    createBoxes(components, t.rows, grid, AlarmBoxes::later());
    createBoxes(components, t.rows, grid, AlarmBoxes::chat());
    t.CheckBoxDesktopNotification = checkBox(
        components, "CheckBoxDesktopNotification", QStringLiteral("Desktop notification"), true,
        QStringLiteral("After a check that raised a red or yellow alarm, show one desktop notification "
                       "naming the pages; activating it shows the Status tab"));
    t.EditRemindEvery = minutesEdit(
        components, "EditRemindEvery", QStringLiteral("Remind every (min)"),
        QStringLiteral("While a page stays down, send its alarm again every so many minutes; empty: once"));
    t.ButtonMaintenance = button(components, "ButtonMaintenance", QStringLiteral("Maintenance…"),
                                 QStringLiteral("Times of planned work: the pages are still checked, "
                                                "but raise no alarm"));

    auto* sounds = new QGridLayout;
    sounds->addWidget(label(QStringLiteral("Yellow Alarm Soud")), 0, 0);
    sounds->addWidget(t.EditYWavFileName, 0, 1);
    sounds->addWidget(t.ButtonBrowseYwav, 0, 2);
    sounds->addWidget(label(QStringLiteral("Red Alarm Soud")), 1, 0);
    sounds->addWidget(t.EditRWavFileName, 1, 1);
    sounds->addWidget(t.Button1, 1, 2);

    // The matrix keeps its rows' height and scrolls where the window is too low for it.
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->addLayout(grid);
    layout->addLayout(sounds);
    layout->addWidget(t.CheckBoxDesktopNotification);
    auto* later = new QHBoxLayout;
    QLabel* remind = label(QStringLiteral("Remind every (min)"));
    remind->setBuddy(t.EditRemindEvery);
    t.EditRemindEvery->setMaximumWidth(80);
    later->addWidget(remind);
    later->addWidget(t.EditRemindEvery);
    later->addStretch(1);
    later->addWidget(t.ButtonMaintenance);
    layout->addLayout(later);
    layout->addStretch(1);
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);
    auto* page = new QVBoxLayout(t.TabSheet5);
    page->setContentsMargins(0, 0, 0, 0);
    page->addWidget(scroll);
    return t;
}
