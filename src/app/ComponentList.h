#pragma once

#include <QList>
#include <QObject>

// The window's components in the order they were created. The settings store walks this
// order, so it is also the order of the keys when the settings file is first written.
class ComponentList {
public:
    template <class T> T* add(T* component, const char* name) {
        component->setObjectName(QString::fromLatin1(name));
        order_.append(component);
        return component;
    }

    const QList<QObject*>& order() const { return order_; }

private:
    QList<QObject*> order_;
};
