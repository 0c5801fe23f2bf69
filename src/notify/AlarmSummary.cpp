#include "notify/AlarmSummary.h"

#include <QStringList>
#include <utility>

QString alarmSummary(qsizetype red, qsizetype yellow, qsizetype back) {
    QStringList parts;
    for (const auto& [count, word] :
         {std::pair{red, "red"}, std::pair{yellow, "yellow"}, std::pair{back, "back"}}) {
        if (count == 0)
            continue;
        const QString noun = !parts.isEmpty() ? QString()
                             : count == 1     ? QStringLiteral(" page")
                                              : QStringLiteral(" pages");
        parts.append(QString::number(count) + noun + QLatin1Char(' ') + QLatin1String(word));
    }
    return QStringLiteral("Korvane: ") +
           (parts.isEmpty() ? QStringLiteral("no alarms") : parts.join(QStringLiteral(", ")));
}
