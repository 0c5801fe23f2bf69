#pragma once

#include <QList>
#include <QString>
#include <optional>
#include <utility>

// The final status codes that count as a page's success, written as codes and ranges
// ("200-299,301,401"). Without a list, every answer below 400 does.
class StatusCodeList {
public:
    // Nothing for a text that is no such list; an empty text gives the list of every code below 400.
    static std::optional<StatusCodeList> parse(const QString& text);

    bool accepts(int code) const;
    // The list names the code itself, not only by default.
    bool names(int code) const;

private:
    QList<std::pair<int, int>> ranges_; // empty: below 400
};
