#pragma once

#include <QFormLayout>
#include <QLabel>
#include <QWidget>

// Helpers for the fields of the program's dialogs: each field has a name that tests and the
// dialog's own code find it by, a caption that is its buddy and its name for a screen reader,
// and a hint.
namespace DialogFields {

template <class T> T* named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A row of the form; an empty caption leaves the field to name itself (a check box).
inline void addRow(QFormLayout* form, const QString& caption, QWidget* field, const QString& hint) {
    field->setToolTip(hint);
    if (caption.isEmpty()) {
        form->addRow(QString(), field);
        return;
    }
    auto* label = new QLabel(caption);
    label->setBuddy(field);
    field->setAccessibleName(caption);
    form->addRow(label, field);
}

// A label in the colour of errors that stays hidden until there is one.
inline QLabel* errorLabel(const QString& name) {
    auto* error = new QLabel;
    error->setObjectName(name);
    error->setStyleSheet(QStringLiteral("color: #b00000"));
    error->setWordWrap(true);
    error->hide();
    return error;
}

} // namespace DialogFields
