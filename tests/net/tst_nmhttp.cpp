// The HTTP client against real servers on 127.0.0.1: nginx for real pages, tinyproxy for the
// proxy path, and the scripted peer for exact request bytes and servers that misbehave.
#include "net/EAbortError.h"
#include "net/ESockError.h"
#include "net/TNMHTTP.h"
#include "support/net/NginxPeer.h"
#include "support/net/Raised.h"
#include "support/net/ScriptedPeer.h"
#include "support/net/TinyproxyPeer.h"

#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
QJsonObject send(const QString& reply, const QJsonObject& more = {}) {
    QJsonObject route = more;
    route["send"] = reply;
    return route;
}

// Runs the action from the event loop once the client reports the step, so it lands inside the
// wait that follows the step, however busy the machine is.
void atStep(TNMHTTP& http, const QString& step, const std::function<void()>& action) {
    http.ReportLevel = 8;
    http.OnStatus = [&http, step, action](QObject*, const QString& text) {
        if (text != step)
            return;
        http.OnStatus = nullptr;
        QTimer::singleShot(0, &http, action);
    };
}

const QByteArray accept = "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
                          "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n";
} // namespace

class TestNMHTTP : public QObject {
    Q_OBJECT
    NginxPeer nginx;
    QByteArray page = QByteArray(5120, 'k');

private slots:
    void initTestCase() {
        nginx.addFile("page.html", page);
        QVERIFY2(nginx.start(), qPrintable(nginx.output()));
    }

    void realPages() {
        TNMHTTP http;
        http.HeaderInfo.LocalProgram = "Korvane";
        QList<int> successes, failures;
        http.OnSuccess = [&](int cmd) { successes << cmd; };
        http.OnFailure = [&](int cmd) { failures << cmd; };
        http.Head(nginx.url("page.html"));
        QCOMPARE(http.ReplyNumber, 200);
        QCOMPARE(http.BytesTotal, 5120);
        QVERIFY(http.Header.startsWith("HTTP/1.1 200 OK\r\n"));
        QVERIFY(http.Header.contains("\r\nETag: \""));
        QVERIFY(http.Header.contains("\r\nLast-Modified: "));
        QVERIFY(http.Header.endsWith("\r\n\r\n"));
        QCOMPARE(http.Body, QString());
        QCOMPARE(successes, QList<int>({0}));
        http.Get(nginx.url("page.html"));
        QCOMPARE(http.Body.toLatin1(), page);
        http.Head(nginx.url("missing.html"));
        QCOMPARE(http.ReplyNumber, 404);
        QCOMPARE(failures, QList<int>({0}));
        QVERIFY(!http.Connected);

        QTemporaryDir dir;
        http.InputFileMode = http.OutputFileMode = true;
        http.Body = dir.filePath("body.html");
        http.Header = dir.filePath("head.txt");
        http.Get(nginx.url("page.html"));
        QFile body(http.Body), head(http.Header);
        QVERIFY(body.open(QIODevice::ReadOnly) && head.open(QIODevice::ReadOnly));
        QCOMPARE(body.readAll(), page);
        QVERIFY(head.readAll().contains("Content-Length: 5120\r\n"));
    }

    void throughTinyproxy() {
        TinyproxyPeer proxy;
        QVERIFY2(proxy.start(), qPrintable(proxy.output()));
        TNMHTTP http;
        http.Proxy = "127.0.0.1";
        http.ProxyPort = proxy.port();
        http.Head(nginx.url("page.html"));
        QCOMPARE(http.ReplyNumber, 200);
        QCOMPARE(http.BytesTotal, 5120);
        QVERIFY(http.Header.contains("ETag: "));
        QCOMPARE(http.RemoteIP(), "127.0.0.1");
    }

    void exactRequestBytes() {
        ScriptedPeer peer(
            {{"mode", "http"}, {"routes", QJsonObject{{"*", send("HTTP/1.0 200 OK\r\n\r\n")}}}});
        QVERIFY(peer.start());
        const QByteArray port = QByteArray::number(peer.port());
        TNMHTTP check;
        check.HeaderInfo.LocalProgram = "Korvane";
        check.Head(peer.url("/a/b.html?x=1"));
        // The same peer in the proxy's place sees what a proxy gets.
        check.Proxy = "127.0.0.1";
        check.ProxyPort = peer.port();
        check.Head("http://site.invalid/p");
        TNMHTTP back;
        back.HeaderInfo.LocalProgram = "korvane2.3";
        back.HeaderInfo.Referer = "root";
        back.Get(peer.url(""));
        const QByteArray tail = "Content-type: application/x-www-form-urlencoded\r\n\r\n";
        QTRY_COMPARE(peer.requests().size(), 3);
        QCOMPARE(peer.requests()[0], "HEAD /a/b.html?x=1 HTTP/1.0\r\nHost: 127.0.0.1\r\n" + accept +
                                         "User-Agent: Korvane\r\n" + tail);
        QCOMPARE(peer.requests()[1], "HEAD http://site.invalid/p HTTP/1.0\r\nProxy-Connection: Keep-Alive\r\n"
                                     "Host: site.invalid\r\n" +
                                         accept + "User-Agent: Korvane\r\n" + tail);
        QCOMPARE(peer.requests()[2], "GET / HTTP/1.0\r\nHost: 127.0.0.1\r\n" + accept +
                                         "User-Agent: korvane2.3\r\nReferer: root\r\n" + tail);
        QCOMPARE(back.URL, peer.url("/"));
    }

    // What a server and a proxy get for addresses typed with letters beyond ASCII or a space.
    void addressesAsTyped() {
        ScriptedPeer peer(
            {{"mode", "http"}, {"routes", QJsonObject{{"*", send("HTTP/1.0 200 OK\r\n\r\n")}}}});
        QVERIFY(peer.start());
        TNMHTTP http;
        for (const QString path : {"/ünï/?q=ä", "/日本/", "/a b"})
            http.Head(peer.url(path));
        http.Proxy = "127.0.0.1";
        http.ProxyPort = peer.port();
        http.Head("http://日本.invalid/ä");
        raised<std::exception>([&] { http.Head("https://bücher.invalid/"); }); // no TLS behind the tunnel
        QTRY_COMPARE(peer.requests().size(), 5);
        QByteArrayList lines;
        for (const QByteArray& request : peer.requests())
            lines << request.left(request.indexOf("\r\n"));
        QCOMPARE(lines, QByteArrayList({"HEAD /%C3%BCn%C3%AF/?q=%C3%A4 HTTP/1.0",
                                        "HEAD /%E6%97%A5%E6%9C%AC/ HTTP/1.0", "HEAD /a%20b HTTP/1.0",
                                        "HEAD http://xn--wgv71a.invalid/%C3%A4 HTTP/1.0",
                                        "CONNECT xn--bcher-kva.invalid:443 HTTP/1.0"}));
    }

    void misbehavingServers() {
        QJsonObject routes{
            {"/slow", send("HTTP/1.0 200 OK\r\n\r\n", {{"delay", 1.0}})},
            {"/silent", QJsonObject{{"silent", true}}},
            {"/halfline", send("HTTP/1.0 200 OK\r\nContent-Le", {{"after", "hang"}})},
            {"/halfclose", send("HTTP/1.0 200 OK\r\nContent-Le")},
            {"/noreason", send("HTTP/1.0 404\r\n\r\n")},
            {"/auth", send("HTTP/1.0 401 Unauthorized\r\n\r\n")},
            {"/numbers", send("HTTP/1.0 99999 Odd\r\nContent-Length: 99999999999\r\n\r\n")},
            {"/huge", send("HTTP/1.0 200 OK\r\nSet-Cookie: after=pad\r\n\r\nbody", {{"pad", 200 << 10}})},
            {"/flood", send("HTTP/1.0 200 OK\r\n\r\n", {{"pad", 1 << 20}})},
            {"/keepalive", send("HTTP/1.0 200 OK\r\n\r\nbody", {{"after", "hang"}})},
        };
        ScriptedPeer peer({{"mode", "http"}, {"routes", routes}});
        QVERIFY(peer.start());
        TNMHTTP http;
        http.Head(peer.url("/slow"));
        QCOMPARE(http.ReplyNumber, 200);

        // No limit of its own once connected: Abort (the check cycle's watchdog) ends the wait.
        for (const char* path : {"/silent", "/halfline"}) {
            atStep(http, "ReadLn", [&] { http.Abort(); });
            QCOMPARE(raised<EAbortError>([&] { http.Head(peer.url(path)); }), "Socket readln aborted");
            QVERIFY(http.Canceled);
            QVERIFY(!http.Connected);
        }

        // A server that closes with half a line sent can never finish it: the wait ends at once.
        QCOMPARE(raised<ESockError>([&] { http.Head(peer.url("/halfclose")); }),
                 "Connection closed before a complete reply");
        QCOMPARE(http.ReplyNumber, 200);
        QCOMPARE(http.Trouble, ConnectionTrouble::None); // the status line came
        QVERIFY(!http.Connected);

        int failures = 0;
        http.OnFailure = [&](int) { ++failures; };
        http.Head(peer.url("/noreason"));
        QCOMPARE(http.ReplyNumber, 404);
        int authentications = 0;
        http.OnAuthenticationNeeded = [&](QObject*) { ++authentications; };
        http.Head(peer.url("/auth"));
        QCOMPARE(failures, 2);
        QCOMPARE(authentications, 1);

        http.Head(peer.url("/numbers"));
        QCOMPARE(http.ReplyNumber, 0);
        QCOMPARE(http.BytesTotal, 2147483647);

        http.Get(peer.url("/huge"));
        QCOMPARE(http.ReplyNumber, 200);
        QVERIFY(http.Header.size() > 200 << 10);
        QCOMPARE(http.CookieIn, "after=pad");
        QCOMPARE(http.Body, "body");
        // Past its bound a header is no header, whatever follows.
        QCOMPARE(raised<ESockError>([&] { http.Get(peer.url("/flood")); }), "response header too large");

        // A connection kept open after the reply: Disconnect ends the body read normally...
        atStep(http, "Capture String", [&] { http.Disconnect(); });
        http.Get(peer.url("/keepalive"));
        QCOMPARE(http.Body, "body");
        // ...and Abort ends it with its error.
        atStep(http, "Capture String", [&] { http.Abort(); });
        QCOMPARE(raised<EAbortError>([&] { http.Get(peer.url("/keepalive")); }), "Socket capture aborted");
        QTemporaryDir dir; // also when the body goes to a file
        http.InputFileMode = true;
        http.Body = dir.filePath("body");
        atStep(http, "CaptureFile", [&] { http.Abort(); });
        QCOMPARE(raised<EAbortError>([&] { http.Get(peer.url("/keepalive")); }), "Socket capture aborted");
    }

    void redirects() {
        QJsonObject routes{
            {"/absolute", send("HTTP/1.0 302 Found\r\nLocation: http://127.0.0.1:{PORT}/dir/final\r\n\r\n")},
            {"/pathonly", send("HTTP/1.0 301 Moved\r\nLocation: /dir/final\r\n\r\n")},
            {"/relative", send("HTTP/1.0 302 Found\r\nSet-Cookie: sid=42\r\nLocation: final\r\n\r\n")},
            {"/nolocation", send("HTTP/1.0 302 Found\r\n\r\n")},
            {"/loop", send("HTTP/1.0 302 Found\r\nLocation: /loop\r\n\r\n")},
            {"*", send("HTTP/1.0 200 OK\r\n\r\nfinal page")},
        };
        ScriptedPeer peer({{"mode", "http"}, {"routes", routes}});
        QVERIFY(peer.start());
        auto requestLines = [&] {
            QStringList lines;
            for (const QByteArray& r : peer.requests())
                lines << QString::fromLatin1(r.left(r.indexOf("\r\n")));
            return lines;
        };
        // Without an OnRedirect handler the client follows, as a GET, on the same port.
        TNMHTTP http;
        http.Get(peer.url("/absolute"));
        QCOMPARE(http.Body, "final page");
        http.Head(peer.url("/pathonly"));
        http.Head(peer.url("/relative"));
        QCOMPARE(http.ReplyNumber, 200);
        QTRY_COMPARE(requestLines(), QStringList({"GET /absolute HTTP/1.0", "GET /dir/final HTTP/1.0",
                                                  "HEAD /pathonly HTTP/1.0", "GET /dir/final HTTP/1.0",
                                                  "HEAD /relative HTTP/1.0", "GET /final HTTP/1.0"}));
        QVERIFY(peer.requests()[5].contains("\r\nCookie: sid=42\r\n"));
        QVERIFY(!peer.requests()[4].contains("Cookie"));

        // No Location: the call ends with that reply. A loop ends after MaxRedirects.
        http.Get(peer.url("/nolocation"));
        QCOMPARE(http.ReplyNumber, 302);
        http.Get(peer.url("/loop"));
        QCOMPARE(http.ReplyNumber, 302);
        QTRY_COMPARE(requestLines().size(), 6 + 1 + 1 + TNMHTTP::MaxRedirects);
        QVERIFY(peer.requests().last().contains("\r\nCookie: sid=42\r\n")); // kept for later calls

        // The page checker takes redirects over and disconnects inside its handler.
        TNMHTTP check;
        int redirected = 0;
        check.OnRedirect = [&](bool& handled) {
            ++redirected;
            handled = true;
            check.Disconnect();
        };
        check.Head(peer.url("/absolute"));
        QCOMPARE(redirected, 1);
        QCOMPARE(check.ReplyNumber, 302);
        QCOMPARE(check.URL, peer.url("/dir/final"));
        QVERIFY(check.Header.contains("Location: "));
        QTRY_COMPARE(requestLines().size(), 9 + TNMHTTP::MaxRedirects);
    }

    void failuresBeforeAnyReply() {
        TNMHTTP http;
        int invalid = 0, classified = 0;
        http.OnInvalidHost = [&](bool& handled) { handled = ++invalid == 1; };
        http.OnSuccess = http.OnFailure = [&](int) { ++classified; };
        QCOMPARE(raised<ESockError>([&] { http.Head("http://nohost.invalid/"); }), "Null Remote Address");
        QCOMPARE(invalid, 1);
        QCOMPARE(http.ReplyNumber, 0);
        QCOMPARE(raised<std::runtime_error>([&] { http.Head(""); }), "Empty URL");
        QCOMPARE(raised<ESockError>(
                     [&] { http.Head(QString("http://127.0.0.1:%1/").arg(PeerProcess::freePort())); }),
                 "Connection Failed");
        QCOMPARE(http.Trouble, ConnectionTrouble::Refused);
        // Taken and closed at once: no reply can come, so the call ends without waiting for one.
        ScriptedPeer closing(QJsonObject{{"mode", "raw"}, {"close", true}});
        QVERIFY(closing.start());
        QCOMPARE(raised<ESockError>([&] { http.Head(closing.url("/")); }),
                 "Connection closed before a complete reply");
        QCOMPARE(http.Trouble, ConnectionTrouble::ClosedBeforeReply);
        ScriptedPeer stuck(QJsonObject{{"mode", "backlog"}});
        QVERIFY(stuck.start());
        http.TimeOut = 300;
        QCOMPARE(raised<ESockError>([&] { http.Head(stuck.url("/")); }), "Connection Timed out");
        QVERIFY(http.TimerExpired);
        QVERIFY(http.Canceled); // the time-out aborts, and the abort stays pending
        QCOMPARE(classified, 0);
    }

    void ipv6Literals() {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHostIPv6))
            QSKIP("this machine has no IPv6 loopback address (::1)");
        probe.close();
        ScriptedPeer peer({{"mode", "http"},
                           {"host", "::1"},
                           {"routes", QJsonObject{{"*", send("HTTP/1.0 200 OK\r\n\r\n")}}}});
        TinyproxyPeer proxy;
        QVERIFY(peer.start());
        QVERIFY2(proxy.start(), qPrintable(proxy.output()));
        const QString url = QString("http://[::1]:%1/six?x=1").arg(peer.port());
        TNMHTTP http;
        http.Head(url);
        QCOMPARE(http.ReplyNumber, 200);
        QCOMPARE(http.RemoteIP(), "::1");
        http.Proxy = "127.0.0.1";
        http.ProxyPort = proxy.port();
        http.Head(url);
        QCOMPARE(http.ReplyNumber, 200);
        QTRY_COMPARE(peer.requests().size(), 2);
        QVERIFY2(peer.requests()[0].startsWith("HEAD /six?x=1 HTTP/1.0\r\nHost: [::1]\r\n"),
                 peer.requests()[0]);
        QVERIFY2(peer.requests()[1].startsWith("HEAD /six?x=1 HTTP/1.0\r\n"), peer.requests()[1]);
    }
};

QTEST_GUILESS_MAIN(TestNMHTTP)
#include "tst_nmhttp.moc"
