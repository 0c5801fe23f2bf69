#include "support/MonitorFixture.h"

#include "check/NetworkCheck.h"
#include "history/HistoryStore.h"
#include "settings/AlarmBoxes.h"
#include "support/CycleWait.h"
#include "support/FakeDialogs.h"
#include "support/FakeNetworkState.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <stdexcept>

MonitorFixture::MonitorFixture() {
    start();
}

MonitorFixture::MonitorFixture(const QByteArray& settingsText) : SettingsFolder(settingsText) {
    start();
}

MonitorFixture::~MonitorFixture() {
    end();
}

void MonitorFixture::start() {
    ended_ = false;
    Monitor::Calls calls;
    calls.ShowTrayState = [this](int picture) { tray_ = picture; };
    // A player that has only the files of the settings folder, as a sound file named without one.
    calls.PlaySound = [this](const QString& file) {
        if (!QFileInfo::exists(QDir(folder()).filePath(file)))
            throw std::runtime_error(("cannot play " + file).toStdString());
    };
    monitor_ = std::make_unique<Monitor>(settingsPath(), testDialogs(), calls);
    QObject::connect(&monitor_->log, &ActivityLog::lineAdded, [this](QString line) {
        static const QRegularExpression stamp(QStringLiteral(R"(^\[[^\]]*\] )"));
        lines_.append(line.remove(stamp));
    });
    monitor_->start();
    // The history opens on a thread of its own; a test begins where the pages are restored.
    if (!QTest::qWaitFor([this] { return !monitor_->history().opening(); }, 60000))
        qFatal("the history did not open");
    monitor_->Timer2->setInterval(WatchdogTickMs);
    // The machine running the tests may well be offline: the pages are on loopback anyway.
    auto state = std::make_unique<FakeNetworkState>();
    network = state.get();
    monitor_->checkCycle().network().useState(std::move(state));
}

void MonitorFixture::end() {
    if (std::exchange(ended_, true))
        return;
    monitor_->stop();
    monitor_->end();
    monitor_->store.SaveSettings();
}

Monitor& MonitorFixture::restart() {
    end();
    monitor_.reset();
    start();
    return *monitor_;
}

int MonitorFixture::addPage(const QString& url, bool checkSize, bool checkDate, bool checkSignature) {
    return monitor_->pages.addPage(url, checkSize, checkDate, checkSignature);
}

QStringList MonitorFixture::runCycle() {
    const qsizetype before = lines_.size();
    monitor_->checkCycle().CheckWebPagesExecute();
    waitForCycle(monitor_->checkCycle(), monitor_->checkState.CheckRunning, CycleWaitMs);
    return lines_.mid(before);
}

void MonitorFixture::whenChecking(const QString& url, std::function<void()> action) {
    QObject::connect(&monitor_->statusLine, &StatusLine::textSet, [url, action](const QString& text) {
        if (text == QStringLiteral("Checking ") + url)
            action();
    });
}

void MonitorFixture::raise(AlarmCondition condition, AlarmReaction reaction, bool on) {
    const AlarmBox* box = AlarmBoxes::find(condition, reaction);
    if (!box)
        qFatal("the alarm matrix has no such box");
    settings().setTick(QString::fromLatin1(box->name), on);
}

void MonitorFixture::setUpMail(quint16 port) {
    Settings& s = settings();
    s.setText(QStringLiteral("EditEmailHost"), QStringLiteral("127.0.0.1"));
    s.setText(QStringLiteral("EditEmailPort"), QString::number(port));
    s.setText(QStringLiteral("EditEmailID"), QStringLiteral("monitor-host"));
    s.setText(QStringLiteral("EditLocalName"), QStringLiteral("Korvane Monitor"));
    s.setText(QStringLiteral("Edit1localEMail"), QStringLiteral("monitor@example.org"));
    s.setText(QStringLiteral("EditEMail1"), QStringLiteral("ops@example.org"));
}

void MonitorFixture::muteSounds() {
    for (const AlarmBox& box : AlarmBoxes::playWav())
        settings().setTick(QString::fromLatin1(box.name), false);
}

PageStatus MonitorFixture::status(int page) const {
    return monitor_->pages.readStatus(page);
}

QString MonitorFixture::statusBar() const {
    return monitor_->statusLine.text();
}

QStringList MonitorFixture::urls() const {
    QStringList out;
    for (int page = 0; page < monitor_->pages.pageCount(); ++page)
        out.append(monitor_->pages.url(page));
    return out;
}
