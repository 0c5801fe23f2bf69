#pragma once

#include <QObject>
#include <QStringList>

class QListWidget;
class QPlainTextEdit;
struct FetchResult;
struct AlarmReport;

// What the alarm mail says: the user's template with its keyword macros filled in from the check
// just made, and the footer. Also the keyword list, whose double-click (or Enter) puts a macro
// into the template.
class AlarmMailComposer : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QPlainTextEdit* Memo1;
        QListWidget* ListBoxKeywords;
        const FetchResult* Exchange; // the last request of the page checked last, which the macros describe
    };

    // Where the footer sends readers who want to know more.
    static constexpr const char* ProductPageAddress = "https://korvane.org/";

    explicit AlarmMailComposer(const Controls& controls, QObject* parent = nullptr);

    // The template, its lines ended by CR LF.
    QString templateText() const;
    // The template with its macros expanded; raises when this computer's own address is asked
    // for and cannot be found.
    QString composedText(const QString& templateText, const AlarmReport& report) const;
    // The two entries that follow the composed text.
    static QStringList footer();

    void ListBoxKeywordsDblClick();

private:
    QString macroValue(const QString& macro, const AlarmReport& report) const;

    Controls c_;
};
