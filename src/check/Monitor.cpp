#include "check/Monitor.h"

#include "check/AlarmDispatch.h"
#include "check/AlarmPause.h"
#include "check/CheckCycle.h"
#include "check/CycleCalls.h"
#include "check/MaintenancePart.h"
#include "check/PageMarks.h"
#include "check/PageOptionsPart.h"
#include "history/HistoryFile.h"
#include "history/HistoryStore.h"
#include "net/TNMSMTP.h"
#include "notify/AlarmMailComposer.h"
#include "notify/AlarmMailSender.h"
#include "notify/ChatSender.h"
#include "notify/DesktopNotifier.h"

#include <QTimer>
#include <exception>

namespace {

QTimer* timer(const char* name, int intervalMs, QObject* parent) {
    auto* t = new QTimer(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setInterval(intervalMs);
    return t;
}

} // namespace

Monitor::Monitor(const QString& settingsFile, DialogService& dialogs, const Calls& calls, QObject* parent,
                 MonitorParts parts)
    : QObject(parent), store(settingsFile, settings, pages), Timer1(timer("Timer1", 600000, this)),
      Timer2(timer("Timer2", 1000, this)), NMSMTP1(new TNMSMTP(this)), calls_(calls), parts_(parts) {
    setObjectName(QStringLiteral("Monitor"));
    store.addPart(pageOptionsPart(pages, log));
    store.addPart(maintenancePart(maintenance, log));
    buildHistory(settingsFile);
    buildMail(dialogs);
    alarmPause_ = new AlarmPause(
        settings, log,
        [this] {
            // A pause must outlast a crash; a file that cannot be written keeps it for this run.
            try {
                store.SaveSettings();
            } catch (const std::exception& error) {
                log.AddLogLine(QString::fromUtf8(error.what()));
            }
        },
        this);
    alarmDispatch_ = std::make_unique<AlarmDispatch>(
        AlarmDispatch::Controls{&settings, &statusLine},
        AlarmDispatch::Calls{calls_.ShowTrayState, calls_.RevealWindow, calls_.PlaySound}, pages, log,
        checkState, *mailSender_, *chatSender_);
    if (parts.desktopNotices)
        desktopNotifier_ = new DesktopNotifier(
            settings, pages, [this] { callIfSet(calls_.RevealWindow); }, this);
    checkCycle_ = new CheckCycle(
        CheckCycle::Controls{Timer1, Timer2, &settings, &statusLine, &maintenance, alarmPause_},
        CheckCycle::Calls{calls_.ShowTrayState, calls_.RepaintGrid,
                          [this](const QHash<QString, int>& heldBehind) {
                              if (desktopNotifier_)
                                  desktopNotifier_->AlarmsRaised(heldBehind);
                          },
                          calls_.ShowNetworkUnavailable},
        pages, log, checkState, *alarmDispatch_, *history_, dialogs, this);
}

Monitor::~Monitor() = default;

void Monitor::buildHistory(const QString& settingsFile) {
    history_ = std::make_unique<HistoryStore>(historyFileFor(settingsFile), [this](const QString& reason) {
        log.AddLogLine(QStringLiteral("History not kept: ") + reason);
    });
    connect(history_.get(), &HistoryStore::keptAgain, this,
            [this] { log.AddLogLine(QStringLiteral("History kept again")); });
    connect(history_.get(), &HistoryStore::setAside, this, [this](const QString& aside) {
        log.AddLogLine(QStringLiteral("History damaged: set aside as %1, and a new one begun").arg(aside));
    });
    connect(history_.get(), &HistoryStore::notRead, this, [this](const QString& reason) {
        log.AddLogLine(QStringLiteral("Cannot read the history: ") + reason);
    });
    connect(history_.get(), &HistoryStore::openFinished, this, [this](const QHash<QString, PageMark>& marks) {
        restorePageMarks(pages, marks);
        callIfSet(calls_.RepaintGrid);
    });
    connect(history_.get(), &HistoryStore::uptimesChanged, this, [this] { callIfSet(calls_.RepaintGrid); });
}

void Monitor::buildMail(DialogService& dialogs) {
    NMSMTP1->setObjectName(QStringLiteral("NMSMTP1"));
    NMSMTP1->Port = 25;
    NMSMTP1->TimeOut = 20000;
    NMSMTP1->ReportLevel = 0;
    NMSMTP1->EncodeType = UUMethods::uuMime;
    NMSMTP1->ClearParams = true;
    NMSMTP1->PostMessage.LocalProgram = QStringLiteral("Pellmar SMTP Demo");
    mailComposer_ = std::make_unique<AlarmMailComposer>(settings, checkState.Exchange);
    mailSender_ = new AlarmMailSender({&settings, NMSMTP1, &statusLine}, *mailComposer_, log, dialogs, this);
    chatSender_ = new ChatSender(settings, log, this);
}

void Monitor::start() {
    log.AddLogLine(QStringLiteral("Korvane Start"));
    if (parts_.history) {
        history_->open();
        history_->programStarted();
    }
    store.LoadSettings();
    alarmPause_->restore();
    pages.resetHistories();
}

void Monitor::whenHistoryOpen(std::function<void()> ready) {
    if (!history_->opening())
        return ready();
    // After the marks are restored, which is connected first.
    connect(history_.get(), &HistoryStore::openFinished, this, std::move(ready), Qt::SingleShotConnection);
}

void Monitor::stop(QDeadlineTimer messagesBy) {
    // A check waiting on the network ends its wait and unwinds before the program goes.
    checkCycle_->terminate();
    NMSMTP1->Abort();
    // The chat messages and the mails go out side by side: the wait for one is the other's too.
    const int givenUp = chatSender_->finish(messagesBy) + mailSender_->finish(messagesBy);
    if (givenUp > 0 && parts_.history)
        history_->keepMarks(alarmDispatch_->recoveriesUnderWay());
}

void Monitor::end() {
    if (parts_.history)
        history_->programEnded();
    if (const qsizetype unwritten = history_->flush(); unwritten > 0)
        log.AddLogLine(QStringLiteral("History not kept: %1 checks could not be written").arg(unwritten));
}
