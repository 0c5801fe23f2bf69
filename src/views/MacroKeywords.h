#pragma once

#include <QObject>

class QListWidget;
class QPlainTextEdit;

// The keyword list beside the mail template: a double-click on a keyword (or Enter) puts its
// macro into the template where the cursor is.
class MacroKeywords : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QListWidget* ListBoxKeywords;
        QPlainTextEdit* Memo1;
    };

    explicit MacroKeywords(const Controls& controls, QObject* parent = nullptr);

    void ListBoxKeywordsDblClick();

private:
    Controls c_;
};
