#pragma once

#include "pages/CheckFacts.h"
#include "pages/ConditionTree.h"
#include "pages/ConditionValue.h"

#include <QJsonValue>
#include <optional>

// What one check found, read as the values conditions name. The body is parsed as JSON once,
// on the first path into it, for all the page's conditions.
class ConditionValues {
public:
    explicit ConditionValues(const CheckFacts& facts) : facts_(facts) {}

    // The left side of the condition, its function applied.
    ConditionValue read(const ConditionTree& tree);

private:
    ConditionValue source(const ConditionTree& tree) const;
    ConditionValue header(const QString& name) const;
    std::optional<QJsonValue> member(const QList<ConditionTree::Step>& path);
    // No deeper than conditions read, judged before the parser spends anything on it.
    static bool shallow(const QByteArray& json);

    const CheckFacts& facts_;
    bool parsed_ = false;
    std::optional<QJsonValue> root_; // an object or an array
};
