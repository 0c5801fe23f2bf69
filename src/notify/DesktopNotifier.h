#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

class PageRecords;
class Settings;

// Tells the desktop about a cycle's alarms with one notification through the desktop's
// notification service, which replaces the previous one instead of piling up beside it. A click
// on it brings the window forward. A desktop without the service stays silent: the alarm is
// already in the tray, the grid and the log.
class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    // Addresses named in the body; the rest are counted.
    static constexpr int NamedPages = 3;

    DesktopNotifier(const Settings& settings, const PageRecords& pages, std::function<void()> revealWindow,
                    QObject* parent = nullptr);

    // The cycle that just ended raised red or yellow; heldBehind: the pages held because another
    // was down, by its address.
    void AlarmsRaised(const QHash<QString, int>& heldBehind = {});

private slots:
    void ActionInvoked(uint id, const QString& actionKey);

private:
    void send(const QString& summary, const QString& body);

    const Settings& settings_;
    const PageRecords& pages_;
    std::function<void()> revealWindow_;
    // The service's id of our latest notification; 0 is none.
    uint shownId_ = 0;
};
