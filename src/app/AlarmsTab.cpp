#include "app/AlarmsTab.h"

#include "app/ControlFactory.h"

#include <QGridLayout>
#include <QScrollArea>
#include <QVBoxLayout>

using namespace ControlFactory;

namespace {

enum Column { L, Y, R, PW, M1, M2, M3, CH };
using C = AlarmCondition;

struct BoxDesign {
    const char* name;
    AlarmCondition row;
    Column column;
    bool ticked;
};

// The boxes in the order they are created, which is the order the settings file keeps.
// The sound file fields are created between them, after the boxes of the first group.
constexpr BoxDesign FirstGroup[] = {
    {"CheckBoxNEL", C::NoError, L, false},         {"CheckBoxSL", C::SlowAccess, L, true},
    {"CheckBoxTOL", C::TimeOut, L, true},          {"CheckBoxPNFL", C::PageNotFound, L, true},
    {"CheckBoxHNFL", C::HostNotFound, L, true},    {"CheckBoxSM1", C::SlowAccess, M1, false},
    {"CheckBoxTOM1", C::TimeOut, M1, false},       {"CheckBoxPNFM1", C::PageNotFound, M1, false},
    {"CheckBoxHNFM1", C::HostNotFound, M1, false}, {"CheckBoxTOY", C::TimeOut, Y, false},
    {"CheckBoxSY", C::SlowAccess, Y, true},        {"CheckBoxPNFY", C::PageNotFound, Y, false},
    {"CheckBoxHNFY", C::HostNotFound, Y, false},   {"CheckBoxTOR", C::TimeOut, R, true},
    {"CheckBoxSR", C::SlowAccess, R, false},       {"CheckBoxPNFR", C::PageNotFound, R, true},
    {"CheckBoxHNFR", C::HostNotFound, R, true},    {"CheckBoxSM2", C::SlowAccess, M2, false},
    {"CheckBoxTOM2", C::TimeOut, M2, false},       {"CheckBoxPNFM2", C::PageNotFound, M2, false},
    {"CheckBoxHNFM2", C::HostNotFound, M2, false}, {"CheckBoxSM3", C::SlowAccess, M3, false},
    {"CheckBoxTOM3", C::TimeOut, M3, false},       {"CheckBoxPNFM3", C::PageNotFound, M3, false},
    {"CheckBoxHNFM3", C::HostNotFound, M3, false},
};
constexpr BoxDesign PlayWavGroup[] = {
    {"CheckBoxSPW", C::SlowAccess, PW, false},
    {"CheckBoxTOPW", C::TimeOut, PW, false},
    {"CheckBoxPNFPW", C::PageNotFound, PW, true},
    {"CheckBoxHNFPW", C::HostNotFound, PW, true},
};
constexpr BoxDesign ChangeGroup[] = {
    {"CheckBoxSCL", C::SizeChanged, L, true},          {"CheckBoxSCY", C::SizeChanged, Y, true},
    {"CheckBoxSCR", C::SizeChanged, R, false},         {"CheckBoxSCPW", C::SizeChanged, PW, true},
    {"CheckBoxSCM1", C::SizeChanged, M1, false},       {"CheckBoxSCM2", C::SizeChanged, M2, false},
    {"CheckBoxSCM3", C::SizeChanged, M3, false},       {"CheckBoxSiCL", C::SignatureChanged, L, true},
    {"CheckBoxSiCY", C::SignatureChanged, Y, true},    {"CheckBoxSiCR", C::SignatureChanged, R, false},
    {"CheckBoxSiCPW", C::SignatureChanged, PW, true},  {"CheckBoxSiCM1", C::SignatureChanged, M1, false},
    {"CheckBoxSiCM2", C::SignatureChanged, M2, false}, {"CheckBoxSiCM3", C::SignatureChanged, M3, false},
    {"CheckBoxDaCL", C::DateChanged, L, true},         {"CheckBoxDaCY", C::DateChanged, Y, true},
    {"CheckBoxDaCR", C::DateChanged, R, false},        {"CheckBoxDaCPW", C::DateChanged, PW, true},
    {"CheckBoxDaCM1", C::DateChanged, M1, false},      {"CheckBoxDaCM2", C::DateChanged, M2, false},
    {"CheckBoxDaCM3", C::DateChanged, M3, false},
};
// Rows added since: their boxes come last, so the keys of an older settings file keep their places.
constexpr BoxDesign LaterGroup[] = {
    {"CheckBoxCFL", C::ConnectionFailed, L, true},
    {"CheckBoxCFY", C::ConnectionFailed, Y, false},
    {"CheckBoxCFR", C::ConnectionFailed, R, true},
    {"CheckBoxCFPW", C::ConnectionFailed, PW, true},
    {"CheckBoxCFM1", C::ConnectionFailed, M1, false},
    {"CheckBoxCFM2", C::ConnectionFailed, M2, false},
    {"CheckBoxCFM3", C::ConnectionFailed, M3, false},
    {"CheckBoxCEL", C::CertificateExpiring, L, true},
    {"CheckBoxCEY", C::CertificateExpiring, Y, true},
    {"CheckBoxCER", C::CertificateExpiring, R, false},
    {"CheckBoxCEPW", C::CertificateExpiring, PW, false},
    {"CheckBoxCEM1", C::CertificateExpiring, M1, false},
    {"CheckBoxCEM2", C::CertificateExpiring, M2, false},
    {"CheckBoxCEM3", C::CertificateExpiring, M3, false},
    {"CheckBoxRCL", C::Recovered, L, true},
    {"CheckBoxRCM1", C::Recovered, M1, false},
    {"CheckBoxRCM2", C::Recovered, M2, false},
    {"CheckBoxRCM3", C::Recovered, M3, false},
    {"CheckBoxCKL", C::ContentCheckFailed, L, true},
    {"CheckBoxCKY", C::ContentCheckFailed, Y, false},
    {"CheckBoxCKR", C::ContentCheckFailed, R, true},
    {"CheckBoxCKPW", C::ContentCheckFailed, PW, true},
    {"CheckBoxCKM1", C::ContentCheckFailed, M1, false},
    {"CheckBoxCKM2", C::ContentCheckFailed, M2, false},
    {"CheckBoxCKM3", C::ContentCheckFailed, M3, false},
};
constexpr BoxDesign ChatGroup[] = {
    {"CheckBoxNEChat", C::NoError, CH, false},
    {"CheckBoxSChat", C::SlowAccess, CH, false},
    {"CheckBoxTOChat", C::TimeOut, CH, false},
    {"CheckBoxPNFChat", C::PageNotFound, CH, false},
    {"CheckBoxHNFChat", C::HostNotFound, CH, false},
    {"CheckBoxSCChat", C::SizeChanged, CH, false},
    {"CheckBoxSiCChat", C::SignatureChanged, CH, false},
    {"CheckBoxDaCChat", C::DateChanged, CH, false},
    {"CheckBoxCFChat", C::ConnectionFailed, CH, false},
    {"CheckBoxCEChat", C::CertificateExpiring, CH, false},
    {"CheckBoxRCChat", C::Recovered, CH, false},
    {"CheckBoxCKChat", C::ContentCheckFailed, CH, false},
};

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

template <std::size_t N>
void createBoxes(ComponentList& components, AlarmRows& rows, QGridLayout* grid,
                 const BoxDesign (&designs)[N]) {
    for (const BoxDesign& design : designs) {
        QCheckBox* box = checkBox(components, design.name, {}, design.ticked);
        box->setAccessibleName(alarmConditionName(design.row) + QStringLiteral(": ") +
                               QLatin1String(ColumnNames[design.column]));
        slot(rows[std::size_t(design.row)], design.column) = box;
        grid->addWidget(box, HeadingRows + int(design.row), FirstBoxColumn + design.column, Qt::AlignCenter);
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

    createBoxes(components, t.rows, grid, FirstGroup);
    t.EditYWavFileName = edit(components, "EditYWavFileName", QStringLiteral("td.wav"),
                              QStringLiteral("Play this when a Yellow alarm happens"));
    createBoxes(components, t.rows, grid, PlayWavGroup);
    t.EditRWavFileName = edit(components, "EditRWavFileName", QStringLiteral("problem.wav"),
                              QStringLiteral("Play this when a Red alarm happens"));
    createBoxes(components, t.rows, grid, ChangeGroup);
    t.ButtonBrowseYwav = button(components, "ButtonBrowseYwav", QStringLiteral("Browse"),
                                QStringLiteral("Browse for a wav file"));
    t.Button1 =
        button(components, "Button1", QStringLiteral("Browse"), QStringLiteral("Browse for a wav file"));
    createBoxes(components, t.rows, grid, LaterGroup);
    createBoxes(components, t.rows, grid, ChatGroup);
    t.CheckBoxDesktopNotification = checkBox(
        components, "CheckBoxDesktopNotification", QStringLiteral("Desktop notification"), true,
        QStringLiteral("After a check that raised a red or yellow alarm, show one desktop notification "
                       "naming the pages; activating it shows the Status tab"));

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
