#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <variant>

// What a check found, as conditions read it. Every value may be missing: a DNS probe has no
// status, a page without TLS no certificate.
struct CheckFacts {
    std::optional<int> status;               // [STATUS]
    std::optional<qint64> responseTimeMs;    // [RESPONSE_TIME]
    bool connected = false;                  // [CONNECTED]
    QString ip;                              // [IP]; empty: missing
    std::optional<qint64> certificateHours;  // [CERTIFICATE_EXPIRATION], hours left
    QString header;                          // [HEADER].Name: the status line and fields as received
    std::optional<QByteArray> body;          // [BODY], [BODY].a.b[0].c
    QString dnsRcode;                        // [DNS_RCODE]; empty: missing
    std::optional<QStringList> dnsAnswers;   // [ANSWERS]
};

// One condition of a page, "LEFT OP RIGHT", parsed once and evaluated against each check.
class Condition {
public:
    struct ParseError {
        int column = 0; // 1-based, where the text stops making sense
        QString message;
    };
    struct Verdict {
        bool holds = false;
        // What the left side was, as the log shows it: "DOWN", "missing".
        QString found;
    };

    ~Condition();
    Condition(Condition&&) noexcept;
    Condition& operator=(Condition&&) noexcept;

    // The condition, or why the text is none.
    static std::variant<Condition, ParseError> parse(const QString& text);
    Verdict evaluate(const CheckFacts& facts) const;
    const QString& text() const { return text_; }

private:
    struct Tree;
    Condition();
    QString text_;
    std::unique_ptr<Tree> tree_;
};
