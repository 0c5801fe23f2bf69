// What holding alarms costs and saves. First, a cycle over N loopback pages (20,000 unless told)
// with every page covered by maintenance windows (closed ones, so every check is decided as usual)
// and depending on another, against the same cycle without them: three of each, alternating, and
// the medians. Then a storm: a gateway down with 1,000 failing pages behind it, and how many chat
// messages, mails and sounds that cycle gives. Prints figures; never fails.
#include "app/TKorvaneApplication.h"
#include "check/Monitor.h"
#include "notify/AlarmMailSender.h"
#include "notify/ChatSender.h"
#include "settings/AlarmBoxes.h"
#include "settings/ChatService.h"
#include "support/CycleRun.h"
#include "support/LoopbackPages.h"
#include "support/net/ScriptedPeer.h"
#include "support/net/SmtpPeer.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <algorithm>
#include <cstdio>

namespace {

// Every page covered twice, by name, in windows that are open at another hour; each page behind
// the one ten places before it.
void holdEverything(TFormMainWindow& window, const QStringList& urls) {
    MaintenanceWindow byName;
    byName.name = QStringLiteral("nightly");
    byName.pages = urls;
    byName.days = {1, 2, 3, 4, 5, 6, 7};
    byName.at = QTime::currentTime().addSecs(6 * 3600);
    byName.lengthSeconds = 600;
    MaintenanceWindow all = byName;
    all.name = QStringLiteral("weekly");
    all.pages.clear();
    all.allPages = true;
    all.days = {1};
    window.monitor.maintenance = {byName, all};
    for (int page = 10; page < urls.size(); ++page) {
        PageOptions options;
        options.dependsOn = urls[page - 10];
        window.pages.setOptions(page, options);
    }
}

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void compareCycles(const QStringList& urls, DialogService& dialogs) {
    QList<double> plain;
    QList<double> held;
    int heldOk = 0;
    for (int run = 0; run < 3; ++run) {
        plain.append(checkOnce(urls, dialogs).seconds);
        const CycleFigures figures =
            checkOnce(urls, dialogs, [&](TFormMainWindow& window) { holdEverything(window, urls); });
        held.append(figures.seconds);
        heldOk = figures.ok;
    }
    std::printf("%lld pages: cycle %.3f s plain, %.3f s with windows and dependencies on every page "
                "(%d OK): %+.1f %%\n",
                (long long)urls.size(), median(plain), median(held), heldOk,
                (median(held) / median(plain) - 1) * 100);
}

// Runs the event loop until done holds, for 20 s at most.
void runUntil(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && !clock.hasExpired(20000))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
}

void storm(NginxPeer& nginx, DialogService& dialogs) {
    ScriptedPeer hook(ScriptedPeer::routes(
        {{"*", QJsonObject{{"send", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"}}}}));
    SmtpPeer smtp;
    if (!hook.start() || !smtp.start()) {
        std::printf("storm: a peer did not start\n");
        return;
    }
    QTemporaryDir dir;
    int sounds = 0;
    Monitor monitor(dir.filePath(QStringLiteral("KV.ini")), dialogs,
                    Monitor::Calls{{}, {}, {}, {}, [&](const QString&) { ++sounds; }}, nullptr,
                    MonitorParts{false, false});
    monitor.start();
    Settings& s = monitor.settings;
    for (AlarmCondition row : {AlarmCondition::PageNotFound, AlarmCondition::ConnectionFailed})
        for (AlarmReaction reaction : {AlarmReaction::Red, AlarmReaction::PlayWav, AlarmReaction::Chat,
                                       AlarmReaction::Email1, AlarmReaction::Email2})
            s.setTick(QString::fromLatin1(AlarmBoxes::find(row, reaction)->name), true);
    s.setText(QStringLiteral("EditEmailHost"), QStringLiteral("127.0.0.1"));
    s.setText(QStringLiteral("EditEmailPort"), QString::number(smtp.port()));
    s.setText(QStringLiteral("EditEmailID"), QStringLiteral("monitor-host"));
    s.setText(QStringLiteral("EditLocalName"), QStringLiteral("Korvane Monitor"));
    s.setText(QStringLiteral("Edit1localEMail"), QStringLiteral("monitor@example.org"));
    s.setTick(QStringLiteral("CheckBoxMailPerCycle"), true);
    for (const QString& number : {QStringLiteral("1"), QStringLiteral("2")}) {
        s.setText(QStringLiteral("ComboChatService") + number, chatServiceName(ChatService::Webhook));
        s.setText(QStringLiteral("EditChatAddress") + number, hook.url(QStringLiteral("/") + number));
        s.setText(QStringLiteral("EditEMail") + number, QStringLiteral("oncall%1@example.org").arg(number));
    }
    const QString gateway = QStringLiteral("http://127.0.0.1:%1/").arg(PeerProcess::freePort());
    PageOptions behind;
    behind.dependsOn = gateway;
    for (int page = 0; page < 1000; ++page)
        monitor.pages.setOptions(
            monitor.pages.addPage(nginx.url(QStringLiteral("gone%1.html").arg(page)), false, false, false),
            behind);
    monitor.pages.addPage(gateway, false, false, false);
    QElapsedTimer clock;
    clock.start();
    monitor.checkCycle().CheckWebPagesExecute();
    waitForCycle(monitor.checkCycle(), monitor.checkState.CheckRunning, 600000);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    runUntil([&] { return monitor.chatSender().idle() && monitor.mailSender().MailQueueEmpty(); });
    QHash<QString, int> mails;
    for (const SmtpPeer::Mail& mail : smtp.mails())
        for (const QString& to : mail.to)
            ++mails[to];
    std::printf("storm: 1 gateway down, 1000 pages behind it: cycle %.3f s; chat messages %d to 2 targets; "
                "mails %d to oncall1, %d to oncall2; sounds %d\n",
                seconds, int(hook.requests().size()), mails.value(QStringLiteral("oncall1@example.org")),
                mails.value(QStringLiteral("oncall2@example.org")), sounds);
    monitor.stop();
    monitor.end();
}

} // namespace

int main(int argc, char** argv) {
    offscreenUnlessTold();
    PrintedDialogs dialogs;
    TKorvaneApplication app(argc, argv, dialogs);
    const int pages = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 20000;
    NginxPeer nginx;
    const QStringList urls = serveLoopbackPages(nginx, pages);
    if (urls.isEmpty()) {
        std::printf("nginx did not start: %s\n", qPrintable(nginx.output()));
        return 0;
    }
    compareCycles(urls, dialogs);
    storm(nginx, dialogs);
    return 0;
}
