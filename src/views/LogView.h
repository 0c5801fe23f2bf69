#pragma once

#include <QPlainTextEdit>

// The view of the activity log: read-only plain text without line wrapping, with both scroll
// bars. Plain text keeps adding a line cheap even when an outage logs one for every page, where
// a rich-text document would lay itself out anew each time. A class of its own, so the settings
// store never takes it for a memo to be saved.
class LogView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit LogView(QWidget* parent = nullptr);
};
