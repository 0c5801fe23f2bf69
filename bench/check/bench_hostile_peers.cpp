// Servers that misbehave on purpose, each checked in a cycle of the running monitor with the
// time-out the user set (10 s unless an argument says otherwise): a header line that never ends,
// 100,000 header lines, an endless body under a content check, a body that stalls, a proxy whose
// answer to CONNECT never ends, and a mail server whose greeting never ends. For each: how long
// the cycle took, how far it raised the peak resident memory, the longest time the window's event
// loop went unserved, and what the log said of the page. Prints figures; never fails.
#include "app/TKorvaneApplication.h"
#include "net/TNMSMTP.h"
#include "views/LogView.h"

#include "support/CycleRun.h"
#include "support/net/ScriptedPeer.h"

#include <QCheckBox>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <cstdio>
#include <functional>

namespace {

struct HostileCase {
    const char* name;
    QJsonObject route; // how the server answers the hostile page
    PageOptions options;
    bool viaProxy = false; // an https page through the server as its proxy
    bool mailed = false;   // the page is missing, and its alarm mail goes to the server
};

QJsonObject route(const QString& send, const QJsonObject& more = {}) {
    QJsonObject route = more;
    route[QStringLiteral("send")] = send;
    return route;
}

PageOptions content(const QString& mustContain, const QString& mustNotContain, bool pattern) {
    PageOptions options;
    options.mustContain = mustContain;
    options.mustNotContain = mustNotContain;
    options.regularExpression = pattern;
    return options;
}

// The last log line that names the text, without its time stamp.
QString lastLogLineOf(TFormMainWindow& window, const QString& text) {
    window.logTab.Log->flush();
    const QStringList lines = window.logTab.Log->toPlainText().split(QLatin1Char('\n')).filter(text);
    return lines.isEmpty() ? QStringLiteral("(nothing)") : lines.last().section(QLatin1String("] "), 1);
}

void run(const HostileCase& hostile, const QString& timeOut, DialogService& dialogs) {
    const QString ok = QStringLiteral("HTTP/1.0 200 OK\r\n\r\n");
    QJsonObject routes{{QStringLiteral("/next"), route(ok)}, {QStringLiteral("*"), hostile.route}};
    if (hostile.mailed)
        routes = {{QStringLiteral("/gone"), route(QStringLiteral("HTTP/1.0 404 Not Found\r\n\r\n"))},
                  {QStringLiteral("*"), route(ok)}};
    ScriptedPeer server(
        QJsonObject{{QStringLiteral("mode"), QStringLiteral("http")}, {QStringLiteral("routes"), routes}});
    ScriptedPeer mail(QJsonObject{{QStringLiteral("mode"), QStringLiteral("smtp")},
                                  {QStringLiteral("greeting"), QString()},
                                  {QStringLiteral("flood"), QStringLiteral("2")}});
    if (!server.start() || (hostile.mailed && !mail.start())) {
        std::printf("%s: the server did not start\n", hostile.name);
        return;
    }
    const QString url = hostile.viaProxy ? QStringLiteral("https://localhost:%1/").arg(server.port())
                        : hostile.mailed ? server.url(QStringLiteral("/gone"))
                                         : server.url(QStringLiteral("/hostile"));
    QString logged;
    const CycleFigures figures = checkOnce(
        {url, server.url(QStringLiteral("/next"))}, dialogs,
        [&](TFormMainWindow& w) {
            for (AlarmRow& row : w.alarms.rows)
                if (row.PlayWav)
                    row.PlayWav->setChecked(false);
            w.connection.EditTimeOut->setText(timeOut);
            w.pages.setOptions(0, hostile.options);
            if (hostile.viaProxy) {
                w.connection.CheckBoxProxy->setChecked(true);
                w.connection.EditProxyHost->setText(QStringLiteral("127.0.0.1"));
                w.connection.EditProxyPort->setText(QString::number(server.port()));
            }
            if (hostile.mailed) {
                w.emailSetup.EditEmailHost->setText(QStringLiteral("127.0.0.1"));
                w.emailSetup.EditEmailPort->setText(QString::number(mail.port()));
                w.emailSetup.Edit1localEMail->setText(QStringLiteral("monitor@example.org"));
                w.sendingEmail.EditEMail1->setText(QStringLiteral("ops@example.org"));
                w.alarms.rows[int(AlarmCondition::PageNotFound)].Email1->setChecked(true);
                w.NMSMTP1->TimeOut = timeOut.toInt() * 1000;
            }
        },
        [&](TFormMainWindow& w) {
            logged = hostile.mailed ? lastLogLineOf(w, QStringLiteral("email")) : lastLogLineOf(w, url);
        });
    std::printf("%s: %.2f s, peak resident memory %+.1f MiB, window unserved for at most %lld ms, %d of 2 "
                "pages OK\n  logged: %s\n",
                hostile.name, figures.seconds, figures.peakGrowth / 1024.0, (long long)figures.longestGapMs,
                figures.ok, qPrintable(logged));
}

} // namespace

int main(int argc, char** argv) {
    offscreenUnlessTold();
    PrintedDialogs dialogs;
    TKorvaneApplication app(argc, argv, dialogs);
    const QString timeOut = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("10");
    std::printf("time-out %s s\n", qPrintable(timeOut));
    const QString flood = QStringLiteral("flood");
    const HostileCase cases[] = {
        {"endless header line",
         route(QStringLiteral("HTTP/1.1 200 OK\r\nX-Long: "), {{flood, QStringLiteral("x")}}),
         {}},
        {"100,000 header lines",
         route(QStringLiteral("HTTP/1.0 200 OK\r\n\r\n"),
               {{QStringLiteral("pad"), 2900000},
                {QStringLiteral("pad_line"), QStringLiteral("X-Line: aaaaaaaaaaaaaaaaaaaa\r\n")}}),
         {}},
        {"endless body, nested quantifiers",
         route(QStringLiteral("HTTP/1.0 200 OK\r\n\r\n"), {{flood, QStringLiteral("a")}}),
         content({}, QStringLiteral("(a+)+b"), true)},
        {"body stalled after 200",
         route(QStringLiteral("HTTP/1.0 200 OK\r\n\r\n<html>"),
               {{QStringLiteral("after"), QStringLiteral("hang")}}),
         content(QStringLiteral("</html>"), {}, false)},
        {"endless CONNECT answer",
         route(QStringLiteral("HTTP/1.1 200 Connection established\r\nX-Long: "),
               {{flood, QStringLiteral("x")}}),
         {},
         true},
        {"endless mail greeting", {}, {}, false, true},
    };
    for (const HostileCase& hostile : cases)
        run(hostile, timeOut, dialogs);
    return 0;
}
