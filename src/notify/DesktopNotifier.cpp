#include "notify/DesktopNotifier.h"

#include "notify/AlarmSummary.h"
#include "notify/ChatText.h"
#include "pages/PageRecords.h"
#include "settings/Settings.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
const QString DefaultAction = QStringLiteral("default");

} // namespace

DesktopNotifier::DesktopNotifier(const Settings& settings, const PageRecords& pages,
                                 std::function<void()> revealWindow, QObject* parent)
    : QObject(parent), settings_(settings), pages_(pages), revealWindow_(std::move(revealWindow)) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        bus.connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
                    SLOT(ActionInvoked(uint, QString)));
}

void DesktopNotifier::AlarmsRaised(const QHash<QString, int>& heldBehind) {
    if (!settings_.tick(QStringLiteral("CheckBoxDesktopNotification")))
        return;
    QStringList red, yellow;
    for (int page = 0; page < pages_.pageCount(); ++page) {
        const PageStatus status = pages_.readStatus(page);
        if (status == PageStatus::RedAlarm)
            red.append(pages_.url(page));
        else if (status == PageStatus::YellowAlarm)
            yellow.append(pages_.url(page));
    }
    // The alarming pages may have been deleted while the cycle ran.
    if (red.isEmpty() && yellow.isEmpty())
        return;
    // The body may be markup: an address with "&" or "<" must show as it is.
    QStringList all;
    for (const QString& url : red + yellow) {
        const int held = heldBehind.value(url);
        all.append((held > 0 ? url + ChatText::heldBehind(held) : url).toHtmlEscaped());
    }
    QStringList lines = all.mid(0, NamedPages);
    if (all.size() > NamedPages)
        lines.append(QStringLiteral("and %1 more").arg(all.size() - NamedPages));
    send(alarmSummary(red.size(), yellow.size()), lines.join('\n'));
}

void DesktopNotifier::send(const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    call << QStringLiteral("Korvane") << shownId_ << QStringLiteral("org.korvane.Korvane") << summary << body
         << QStringList{DefaultAction, QStringLiteral("Show")} << QVariantMap() << -1;
    // Never waited for: a desktop without the service must not hold up the window. Its error
    // reply is dropped.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
        const QDBusPendingReply<uint> reply = *done;
        if (!reply.isError())
            shownId_ = reply.value();
        done->deleteLater();
    });
}

void DesktopNotifier::ActionInvoked(uint id, const QString& actionKey) {
    if (shownId_ != 0 && id == shownId_ && actionKey == DefaultAction)
        revealWindow_();
}
