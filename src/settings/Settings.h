#pragma once

#include "settings/AlarmCondition.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariant>

// The settings as plain values, one a key of the schema, each at its design default until it is
// set. The window's controls show and edit them; everything else reads them here, so it runs the
// same with a window, without one, and in a test.
class Settings : public QObject {
    Q_OBJECT
public:
    explicit Settings(QObject* parent = nullptr);

    QString text(const QString& key) const;
    bool tick(const QString& key) const;
    QStringList lines(const QString& key) const;
    // Whether the alarm matrix has the condition raise the reaction.
    bool raises(AlarmCondition condition, AlarmReaction reaction) const;

    // A choice takes only one of its texts; anything else leaves it as it was.
    void setText(const QString& key, const QString& value);
    void setTick(const QString& key, bool value);
    void setLines(const QString& key, const QStringList& value);

signals:
    void changed(const QString& key);

private:
    void set(const QString& key, const QVariant& value);

    QHash<QString, QVariant> values_;
};
