#pragma once

#include "app/ComponentList.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

// Small helpers for building the window's controls with their names, design texts and hints.
namespace ControlFactory {

inline QLineEdit* edit(ComponentList& components, const char* name, const QString& text,
                       const QString& hint = {}) {
    auto* field = components.add(new QLineEdit(text), name);
    field->setToolTip(hint);
    return field;
}

// A field of whole minutes, or empty; the caption is its label's and its name for a screen reader.
inline QLineEdit* minutesEdit(ComponentList& components, const char* name, const QString& caption,
                              const QString& hint) {
    QLineEdit* field = edit(components, name, {}, hint);
    field->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), field));
    field->setAccessibleName(caption);
    return field;
}

inline QCheckBox* checkBox(ComponentList& components, const char* name, const QString& caption, bool ticked,
                           const QString& hint = {}) {
    auto* box = components.add(new QCheckBox(caption), name);
    box->setChecked(ticked);
    box->setToolTip(hint);
    return box;
}

inline QPushButton* button(ComponentList& components, const char* name, const QString& caption,
                           const QString& hint = {}) {
    auto* b = components.add(new QPushButton(caption), name);
    b->setToolTip(hint);
    return b;
}

inline QLabel* label(const QString& text) {
    return new QLabel(text);
}

} // namespace ControlFactory
