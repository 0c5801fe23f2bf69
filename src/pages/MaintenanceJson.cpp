#include "pages/MaintenanceJson.h"

#include "pages/Duration.h"
#include "pages/PageAddress.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <optional>

namespace {

const QString WindowNameKey = QStringLiteral("name");
const QString WindowPagesKey = QStringLiteral("pages");
const QString WindowStartKey = QStringLiteral("start");
const QString WindowEndKey = QStringLiteral("end");
const QString WindowEveryKey = QStringLiteral("every");
const QString WindowAtKey = QStringLiteral("at");
const QString WindowDurationKey = QStringLiteral("duration");
const QString WindowTimeZoneKey = QStringLiteral("timeZone");
const QString WindowAllPages = QStringLiteral("all");
const QString WindowDayNames[] = {QStringLiteral("Mon"), QStringLiteral("Tue"), QStringLiteral("Wed"),
                                  QStringLiteral("Thu"), QStringLiteral("Fri"), QStringLiteral("Sat"),
                                  QStringLiteral("Sun")};

QString wrongField(const QString& key, const QString& reason) {
    return key + QStringLiteral(": ") + reason;
}

// "2026-12-24T22:00", with seconds or not, in the window's zone unless it names one ("Z",
// "+01:00"). Stricter than Qt's ISO reading, which takes a date alone or an hour alone too.
std::optional<QDateTime> readWindowTime(const QString& text, const QString& timeZone) {
    static const QRegularExpression form(
        QStringLiteral(R"(^(\d{4}-\d\d-\d\d)T(\d\d:\d\d(?::\d\d)?)(Z|[+-]\d\d:\d\d)?$)"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QDateTime time =
        match.capturedLength(3) > 0
            ? QDateTime::fromString(text, Qt::ISODate)
            : MaintenanceWindows::wallClock(QDate::fromString(match.captured(1), Qt::ISODate),
                                            QTime::fromString(match.captured(2), Qt::ISODate), timeZone);
    return time.isValid() ? std::optional(time) : std::nullopt;
}

// As it was read: with the offset it named, or else as the window's zone shows it.
QString windowTimeText(const QDateTime& time, const QString& timeZone) {
    const bool ownOffset = time.timeSpec() == Qt::UTC || time.timeSpec() == Qt::OffsetFromUTC;
    const QDateTime shown = ownOffset ? time : time.toTimeZone(MaintenanceWindows::timeZone(timeZone));
    const QString text = shown.toString(shown.time().second() == 0 ? QStringLiteral("yyyy-MM-ddTHH:mm")
                                                                   : QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    if (!ownOffset)
        return text;
    if (time.timeSpec() == Qt::UTC)
        return text + QLatin1Char('Z');
    const int offset = time.offsetFromUtc();
    return text + (offset < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
           QTime::fromMSecsSinceStartOfDay(std::abs(offset) * 1000).toString(QStringLiteral("HH:mm"));
}

QString timeOfDayText(QTime time) {
    return time.toString(time.second() == 0 ? QStringLiteral("HH:mm") : QStringLiteral("HH:mm:ss"));
}

QTime readTimeOfDay(const QString& text) {
    const QTime time = QTime::fromString(text, QStringLiteral("H:mm"));
    return time.isValid() ? time : QTime::fromString(text, QStringLiteral("H:mm:ss"));
}

QString readPages(const QJsonValue& value, MaintenanceWindow& window) {
    if (value.isString() && value.toString().compare(WindowAllPages, Qt::CaseInsensitive) == 0) {
        window.allPages = true;
        return {};
    }
    const QString notPages = wrongField(WindowPagesKey, QStringLiteral("not \"all\" or a list of addresses"));
    if (!value.isArray())
        return value.isUndefined() ? QString() : notPages;
    for (const QJsonValue page : value.toArray()) {
        if (!page.isString())
            return notPages;
        window.pages.append(namingPageAddress(page.toString()));
    }
    return {};
}

QString readDays(const QJsonValue& value, MaintenanceWindow& window) {
    if (value.isUndefined())
        return {};
    if (!value.isArray())
        return wrongField(WindowEveryKey, QStringLiteral("not a list of days such as [\"Mon\", \"Thu\"]"));
    for (const QJsonValue day : value.toArray()) {
        const QString name = day.toString().trimmed();
        const auto found =
            std::find_if(std::begin(WindowDayNames), std::end(WindowDayNames), [&name](const QString& known) {
                return name.compare(known, Qt::CaseInsensitive) == 0;
            });
        if (found == std::end(WindowDayNames))
            return wrongField(WindowEveryKey,
                              QLatin1Char('"') + name + QStringLiteral("\" is not a day (Mon to Sun)"));
        window.days.append(int(found - std::begin(WindowDayNames)) + 1);
    }
    return {};
}

} // namespace

QJsonObject MaintenanceJson::write(const MaintenanceWindow& window) {
    QJsonObject object{{WindowNameKey, window.name}};
    object.insert(WindowPagesKey,
                  window.allPages ? QJsonValue(WindowAllPages) : QJsonArray::fromStringList(window.pages));
    if (window.recurring()) {
        QJsonArray days;
        for (const int day : window.days)
            if (day >= 1 && day <= 7) // problem() names any other
                days.append(WindowDayNames[day - 1]);
        object.insert(WindowEveryKey, days);
        object.insert(WindowAtKey, timeOfDayText(window.at));
        object.insert(WindowDurationKey, Duration::text(window.lengthSeconds));
    } else {
        object.insert(WindowStartKey, windowTimeText(window.start, window.timeZone));
        object.insert(WindowEndKey, windowTimeText(window.end, window.timeZone));
    }
    if (!window.timeZone.isEmpty())
        object.insert(WindowTimeZoneKey, window.timeZone);
    return object;
}

QString MaintenanceJson::read(const QJsonObject& object, MaintenanceWindow& window) {
    window = MaintenanceWindow();
    const QString texts[] = {WindowNameKey, WindowStartKey,    WindowEndKey,
                             WindowAtKey,   WindowDurationKey, WindowTimeZoneKey};
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const bool text = std::find(std::begin(texts), std::end(texts), it.key()) != std::end(texts);
        if (!text && it.key() != WindowPagesKey && it.key() != WindowEveryKey)
            return QStringLiteral("unknown key \"") + it.key() + QLatin1Char('"');
        if (text && !it.value().isString())
            return wrongField(it.key(), QStringLiteral("not a text"));
    }
    window.name = object.value(WindowNameKey).toString();
    window.timeZone = object.value(WindowTimeZoneKey).toString();
    if (QString problem = readPages(object.value(WindowPagesKey), window); !problem.isEmpty())
        return problem;
    if (QString problem = readDays(object.value(WindowEveryKey), window); !problem.isEmpty())
        return problem;
    if (const QString at = object.value(WindowAtKey).toString(); !at.isEmpty()) {
        window.at = readTimeOfDay(at);
        if (!window.at.isValid())
            return wrongField(WindowAtKey, QStringLiteral("not a time of day such as 23:00"));
    }
    if (const QString duration = object.value(WindowDurationKey).toString(); !duration.isEmpty()) {
        window.lengthSeconds = Duration::parseSeconds(duration).value_or(0);
        if (window.lengthSeconds == 0)
            return wrongField(WindowDurationKey, QStringLiteral("not a length such as 30m, 2h or 1d"));
    }
    // The times are read in the window's zone, which must be known first.
    if (!MaintenanceWindows::timeZone(window.timeZone).isValid())
        return MaintenanceWindows::problem(window);
    for (const auto& [key, time] :
         {std::pair{WindowStartKey, &window.start}, std::pair{WindowEndKey, &window.end}}) {
        const QString text = object.value(key).toString();
        if (text.isEmpty())
            continue;
        const std::optional<QDateTime> read = readWindowTime(text, window.timeZone);
        if (!read)
            return wrongField(key, QStringLiteral("not a time such as 2026-12-24T22:00"));
        *time = *read;
    }
    return MaintenanceWindows::problem(window);
}
