#pragma once

#include <QStringList>

class Settings;
struct FetchResult;
struct AlarmReport;

// What the alarm mail says: the user's template with its keyword macros filled in from the check
// just made, and the footer.
class AlarmMailComposer {
public:
    // Where the footer sends readers who want to know more.
    static constexpr const char* ProductPageAddress = "https://korvane.org/";

    // exchange: the last request of the page checked last, which the macros describe.
    AlarmMailComposer(const Settings& settings, const FetchResult& exchange);

    // The template, its lines ended by CR LF.
    QString templateText() const;
    // The template with its macros expanded; raises when this computer's own address is asked
    // for and cannot be found.
    QString composedText(const QString& templateText, const AlarmReport& report) const;
    // The two entries that follow the composed text.
    static QStringList footer();

private:
    QString macroValue(const QString& macro, const AlarmReport& report) const;

    const Settings& settings_;
    const FetchResult& exchange_;
};
