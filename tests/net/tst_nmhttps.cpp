// The HTTP client over TLS against real servers on 127.0.0.1: nginx with certificates of a test
// authority (trusted, self-signed, expired), the scripted peer speaking TLS for exact request
// bytes and redirects, tinyproxy for the tunnel, and a silent server of our own for the waits of
// the handshake.
#include "net/ESockError.h"
#include "net/TNMHTTP.h"
#include "net/TrustStore.h"
#include "support/net/NginxPeer.h"
#include "support/net/Raised.h"
#include "support/net/ScriptedPeer.h"
#include "support/net/TestAuthority.h"
#include "support/net/TinyproxyPeer.h"

#include <QFile>
#include <QJsonArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {
QJsonObject send(const QString& reply) {
    return {{"send", reply}};
}

QString at(quint16 port, const QString& path, const QString& host = "localhost") {
    return QString("https://%1:%2%3").arg(host).arg(port).arg(path);
}
} // namespace

class TestNMHTTPS : public QObject {
    Q_OBJECT
    TestAuthority authority;
    TestAuthority::Issued localhost;
    NginxPeer trusted, selfSigned, expired, plain;
    QByteArray page = QByteArray(2048, 's');

    QJsonObject secureScript(const QJsonObject& routes) const {
        return {{"mode", "http"},
                {"routes", routes},
                {"tls", QJsonObject{{"certificate", localhost.certificate}, {"key", localhost.key}}}};
    }

private slots:
    void initTestCase() {
        QVERIFY2(authority.create(), qPrintable(authority.output()));
        // Trusted in addition to the system's authorities, as a company's own would be.
        qputenv("SSL_CERT_FILE", authority.certificate().toLocal8Bit());
        localhost = authority.issue({"DNS:localhost"});
        const TestAuthority::Issued old = authority.issue({"DNS:localhost"}, -1);
        const TestAuthority::Issued own = authority.selfSigned({"DNS:localhost"});
        QVERIFY2(!localhost.key.isEmpty() && !old.key.isEmpty() && !own.key.isEmpty(),
                 qPrintable(authority.output()));
        const QList<std::pair<NginxPeer*, TestAuthority::Issued>> servers = {
            {&trusted, localhost}, {&expired, old}, {&selfSigned, own}};
        for (const auto& [server, issued] : servers) {
            server->addFile("page.html", page);
            QVERIFY2(server->startSecure(issued.certificate, issued.key), qPrintable(server->output()));
        }
        plain.addFile("page.html", page);
        QVERIFY2(plain.start(), qPrintable(plain.output()));
    }

    void trustedPageWithSniAndResumption() {
        TNMHTTP http;
        http.Head(at(trusted.port(), "/page.html"));
        QCOMPARE(http.ReplyNumber, 200);
        QCOMPARE(http.BytesTotal, page.size());
        QCOMPARE(http.Trouble, ConnectionTrouble::None);
        http.Head(at(trusted.port(), "/page.html"));
        QCOMPARE(http.ReplyNumber, 200);
        QTRY_COMPARE(trusted.accessLog(), QStringList({"localhost . HEAD /page.html HTTP/1.0",
                                                       "localhost r HEAD /page.html HTTP/1.0"}));
    }

    void certificateProblems_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<bool>("acceptUntrusted");
        QTest::addColumn<ConnectionTrouble>("trouble");
        QTest::addColumn<QString>("reason");
        const auto untrusted = ConnectionTrouble::Untrusted, fine = ConnectionTrouble::None;
        for (const bool accept : {false, true}) {
            const char* how = accept ? "accepted" : "refused";
            QTest::addRow("self-signed, %s", how)
                << "self-signed" << accept << (accept ? fine : untrusted) << "self-signed";
            QTest::addRow("expired, %s", how)
                << "expired" << accept << (accept ? fine : untrusted) << "expired";
            QTest::addRow("other name, %s", how)
                << "other name" << accept << (accept ? fine : untrusted) << "host name";
            // Not a certificate problem: nothing lets that pass.
            QTest::addRow("plain server, %s", how)
                << "plain" << accept << ConnectionTrouble::SecureFailed << "";
        }
    }

    void certificateProblems() {
        QFETCH(QString, server);
        QFETCH(bool, acceptUntrusted);
        QFETCH(ConnectionTrouble, trouble);
        QFETCH(QString, reason);
        const QHash<QString, QString> urls = {{"self-signed", at(selfSigned.port(), "/page.html")},
                                              {"expired", at(expired.port(), "/page.html")},
                                              {"other name", at(trusted.port(), "/page.html", "127.0.0.1")},
                                              {"plain", at(plain.port(), "/page.html")}};
        TNMHTTP http;
        http.AcceptUntrusted = acceptUntrusted;
        int failed = 0;
        http.OnConnectionFailed = [&](QObject*) { ++failed; };
        const QString error = raised<ESockError>([&] { http.Head(urls[server]); });
        QCOMPARE(http.Trouble, trouble);
        if (trouble == ConnectionTrouble::None) {
            QCOMPARE(http.ReplyNumber, 200);
            return;
        }
        QCOMPARE(error, "Connection Failed");
        QCOMPARE(failed, 1);
        QVERIFY2(!http.TroubleDetail.isEmpty() && http.TroubleDetail.contains(reason, Qt::CaseInsensitive),
                 qPrintable(http.TroubleDetail));
    }

    void passedCertificateIsCheckedAgain() {
        // Resuming a session skips the certificate: one that was only let pass is not resumed
        // once that is no longer allowed.
        TNMHTTP http;
        http.AcceptUntrusted = true;
        http.Head(at(selfSigned.port(), "/page.html"));
        http.Head(at(selfSigned.port(), "/page.html"));
        http.AcceptUntrusted = false;
        QCOMPARE(raised<ESockError>([&] { http.Head(at(selfSigned.port(), "/page.html")); }),
                 "Connection Failed");
        QCOMPARE(http.Trouble, ConnectionTrouble::Untrusted);
    }

    void sameRequestDirectAndTunnelled() {
        ScriptedPeer plainPeer(
            {{"mode", "http"}, {"routes", QJsonObject{{"*", send("HTTP/1.0 200 OK\r\n\r\n")}}}});
        ScriptedPeer securePeer(secureScript({{"*", send("HTTP/1.0 200 OK\r\n\r\n")}}));
        TinyproxyPeer proxy;
        QVERIFY(plainPeer.start() && securePeer.start());
        QVERIFY2(proxy.start(), qPrintable(proxy.output()));
        TNMHTTP http;
        http.HeaderInfo.LocalProgram = "Korvane";
        http.Head(QString("http://localhost:%1/a/b.html?x=1").arg(plainPeer.port()));
        http.Head(at(securePeer.port(), "/a/b.html?x=1"));
        // Through the tunnel the server gets what it gets directly: the proxy never sees it.
        http.Proxy = "127.0.0.1";
        http.ProxyPort = proxy.port();
        http.Head(at(securePeer.port(), "/a/b.html?x=1"));
        QCOMPARE(http.RemoteIP(), "127.0.0.1");
        http.Head(at(trusted.port(), "/page.html"));
        QCOMPARE(http.BytesTotal, page.size());
        QTRY_COMPARE(plainPeer.requests().size(), 1);
        QTRY_COMPARE(securePeer.requests().size(), 2);
        QCOMPARE(securePeer.requests(), QList<QByteArray>(2, plainPeer.requests().first()));
        QTRY_COMPARE(trusted.accessLog().last(), "localhost . HEAD /page.html HTTP/1.0");
    }

    void tunnelRefused() {
        ScriptedPeer proxy(
            {{"mode", "raw"}, {"replies", QJsonArray{"HTTP/1.0 403 Filtered\r\nX: y\r\n\r\n"}}});
        QVERIFY(proxy.start());
        TNMHTTP http;
        http.Proxy = "127.0.0.1";
        http.ProxyPort = proxy.port();
        QCOMPARE(raised<ESockError>([&] { http.Head("https://site.invalid:8443/"); }),
                 "Proxy refused the connection: HTTP/1.0 403 Filtered");
        QCOMPARE(http.Trouble, ConnectionTrouble::Refused);
        QCOMPARE(http.TroubleDetail, "HTTP/1.0 403 Filtered");
        QTRY_COMPARE(proxy.requests(), QList<QByteArray>({"CONNECT site.invalid:8443 HTTP/1.0\r\n\r\n"}));
    }

    void redirectsBetweenSchemes() {
        ScriptedPeer secure(secureScript(
            {{"/hop", send("HTTP/1.0 302 Found\r\nLocation: " + plain.url("page.html") + "\r\n\r\n")}}));
        QVERIFY(secure.start());
        ScriptedPeer start(
            {{"mode", "http"},
             {"routes", QJsonObject{{"/start", send("HTTP/1.0 301 Moved\r\nLocation: " +
                                                    at(secure.port(), "/hop") + "\r\n\r\n")}}}});
        QVERIFY(start.start());
        TNMHTTP follower;
        follower.Get(start.url("/start"));
        QCOMPARE(follower.Body.toLatin1(), page);
        QCOMPARE(follower.URL, plain.url("page.html"));
        // The page checker takes each redirect itself and asks again on the same client.
        TNMHTTP check;
        check.OnRedirect = [&](bool& handled) {
            handled = true;
            check.Disconnect();
        };
        QStringList visited;
        for (check.Head(start.url("/start")); check.ReplyNumber / 100 == 3; check.Head(check.URL))
            visited << check.URL;
        QCOMPARE(visited, QStringList({at(secure.port(), "/hop"), plain.url("page.html")}));
        QCOMPARE(check.ReplyNumber, 200);
        check.Head(at(trusted.port(), "/page.html")); // and https again right after a plain page
        QCOMPARE(check.ReplyNumber, 200);
        QTRY_COMPARE(secure.requests().size(), 2);
        QVERIFY(secure.requests()[0].startsWith("GET /hop HTTP/1.0\r\nHost: localhost\r\n"));
        QVERIFY(secure.requests()[1].startsWith("HEAD /hop HTTP/1.0\r\nHost: localhost\r\n"));
    }

    // A server that takes the connection and then does not finish the handshake.
    void handshakeWaits_data() {
        QTest::addColumn<QString>("action"); // what happens once our greeting has arrived
        QTest::addColumn<QString>("error");
        QTest::addColumn<ConnectionTrouble>("trouble");
        QTest::newRow("time-out") << ""
                                  << "Connection Timed out" << ConnectionTrouble::None;
        QTest::newRow("abort") << "abort"
                               << "Connection Canceled" << ConnectionTrouble::None;
        QTest::newRow("hang up") << "close"
                                 << "Connection Failed" << ConnectionTrouble::SecureFailed;
    }

    void handshakeWaits() {
        QFETCH(QString, action);
        QFETCH(QString, error);
        QFETCH(ConnectionTrouble, trouble);
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        TNMHTTP http;
        http.TimeOut = action.isEmpty() ? 300 : 0;
        int connects = 0;
        http.OnConnect = [&](QObject*) { ++connects; };
        QTcpSocket* peer = nullptr;
        connect(&server, &QTcpServer::newConnection, this, [&] {
            peer = server.nextPendingConnection();
            connect(peer, &QTcpSocket::readyRead, this, [&] {
                if (action == "abort")
                    http.Abort();
                else if (action == "close")
                    peer->abort();
            });
        });
        QCOMPARE(raised<ESockError>([&] { http.Head(at(server.serverPort(), "/")); }), error);
        QCOMPARE(http.Trouble, trouble);
        QCOMPARE(connects, 0);
        QVERIFY(!http.Connected);
    }

    // Last: it changes what the process trusts.
    void trustFromFolders() {
        QTemporaryDir folder;
        QVERIFY(QFile::copy(authority.certificate(), folder.filePath("ca.pem")));
        qunsetenv("SSL_CERT_FILE");
        qputenv("SSL_CERT_DIR", "/nonexistent:" + folder.path().toLocal8Bit());
        TNMHTTP http;
        http.Head(at(trusted.port(), "/page.html"));
        QCOMPARE(http.ReplyNumber, 200);
        qputenv("SSL_CERT_DIR", "/nonexistent");
        TNMHTTP later; // a new client: the first one would resume its checked session
        QCOMPARE(raised<ESockError>([&] { later.Head(at(trusted.port(), "/page.html")); }),
                 "Connection Failed");
        QCOMPARE(later.Trouble, ConnectionTrouble::Untrusted);

        // Only certificates beyond the system's are handed over: the TLS library looks the
        // system's up itself, which saves building a store for every connection.
        QFile systemBundle(folder.filePath("system.pem"));
        QVERIFY(systemBundle.open(QIODevice::WriteOnly));
        for (const QSslCertificate& certificate : QSslConfiguration::systemCaCertificates())
            systemBundle.write(certificate.toPem());
        systemBundle.close();
        qputenv("SSL_CERT_FILE", systemBundle.fileName().toLocal8Bit());
        QVERIFY(TrustStore::configuration().caCertificates().isEmpty());
        qputenv("SSL_CERT_DIR", folder.path().toLocal8Bit());
        QVERIFY(TrustStore::configuration().caCertificates().contains(
            QSslCertificate::fromPath(authority.certificate()).value(0)));
    }
};

QTEST_GUILESS_MAIN(TestNMHTTPS)
#include "tst_nmhttps.moc"
