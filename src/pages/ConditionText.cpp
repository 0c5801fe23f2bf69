#include "pages/ConditionText.h"

bool ConditionText::readsBody(const QStringList& conditions) {
    for (const QString& condition : conditions)
        if (condition.contains(QLatin1String("[BODY]")))
            return true;
    return false;
}
