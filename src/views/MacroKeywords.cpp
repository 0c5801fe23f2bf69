#include "views/MacroKeywords.h"

#include <QListWidget>
#include <QPlainTextEdit>

MacroKeywords::MacroKeywords(const Controls& controls, QObject* parent) : QObject(parent), c_(controls) {
    // A double-click, or Enter for those who use the keyboard.
    connect(c_.ListBoxKeywords, &QListWidget::itemActivated, this, &MacroKeywords::ListBoxKeywordsDblClick);
}

void MacroKeywords::ListBoxKeywordsDblClick() {
    const QListWidgetItem* item = c_.ListBoxKeywords->currentItem();
    // The empty last entry puts nothing in, and takes no selected text away either.
    if (!item || item->text().isEmpty())
        return;
    c_.Memo1->insertPlainText(item->text());
}
