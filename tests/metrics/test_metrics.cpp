#include "metrics/BoundedTcpServer.h"
#include "metrics/MetricsServer.h"
#include "metrics/MetricsText.h"
#include "support/EngineTestMain.h"
#include "support/net/PeerProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

MetricsSnapshot twoPages() {
    MetricsSnapshot snapshot;
    PageMetrics secure;
    secure.url = QStringLiteral("https://shop.example/a\"b\\c");
    secure.up = true;
    secure.seconds = 0.25;
    secure.code = 200;
    secure.resolveMs = 3;
    secure.connectMs = 10;
    secure.tlsMs = 40;
    secure.processingMs = 120;
    secure.certificateExpiry = QDateTime::fromSecsSinceEpoch(1900000000, Qt::UTC);
    secure.successes = 7;
    secure.uptimeDay = 0.5;
    secure.held = QStringLiteral("paused");
    PageMetrics down;
    down.url = QStringLiteral("http://gone.example/");
    down.failures = 2;
    down.held = QStringLiteral("maintenance");
    snapshot.pages = {secure, down};
    snapshot.tickedPages = 3;
    snapshot.cycleSeconds = 1.5;
    snapshot.lastCycleEndMs = 1700000000123;
    snapshot.intervalSeconds = 600;
    snapshot.alarmsPausedUntil = QDateTime::fromSecsSinceEpoch(1765000000, Qt::UTC);
    return snapshot;
}

// Prometheus itself, scraping one target every second with a bearer token.
class PrometheusPeer : public PeerProcess {
public:
    bool start(quint16 target, const QByteArray& token) {
        QFile config(dir() + QStringLiteral("/prometheus.yml"));
        config.open(QIODevice::WriteOnly);
        config.write("global:\n  scrape_interval: 1s\nscrape_configs:\n  - job_name: korvane\n"
                     "    authorization:\n      credentials: " +
                     token + "\n    static_configs:\n      - targets: ['127.0.0.1:" +
                     QByteArray::number(target) + "']\n");
        config.close();
        port_ = freePort();
        return launch(QStringLiteral("prometheus"),
                      {QStringLiteral("--config.file=") + config.fileName(),
                       QStringLiteral("--storage.tsdb.path=") + dir() + QStringLiteral("/data"),
                       QStringLiteral("--web.listen-address=127.0.0.1:%1").arg(port_)});
    }
};

struct Answer {
    int status = 0;
    QByteArray body;
    QByteArray contentType;
};

Answer get(QNetworkAccessManager& network, const QString& url, const QByteArray& token = {},
           const QByteArray& verb = "GET") {
    QNetworkRequest request{QUrl(url)};
    if (!token.isEmpty())
        request.setRawHeader("Authorization", "Bearer " + token);
    std::unique_ptr<QNetworkReply> reply(network.sendCustomRequest(request, verb));
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    if (!finished.wait(10000))
        return {};
    return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll(),
            reply->header(QNetworkRequest::ContentTypeHeader).toByteArray()};
}

} // namespace

class TestMetrics : public QObject {
    Q_OBJECT
private slots:
    void textPassesPromtool() {
        const QByteArray text = metricsText(twoPages());
        QProcess promtool;
        promtool.start(QStringLiteral("promtool"), {QStringLiteral("check"), QStringLiteral("metrics")});
        promtool.write(text);
        promtool.closeWriteChannel();
        QVERIFY(promtool.waitForFinished(30000));
        QVERIFY2(promtool.exitCode() == 0, promtool.readAll().constData());
        for (const char* line :
             {"probe_success{url=\"https://shop.example/a\\\"b\\\\c\"} 1\n",
              "probe_success{url=\"http://gone.example/\"} 0\n",
              "probe_http_duration_seconds{url=\"https://shop.example/a\\\"b\\\\c\",phase=\"tls\"} 0.04\n",
              "probe_http_duration_seconds{url=\"http://gone.example/\",phase=\"connect\"} 0\n",
              "probe_ssl_earliest_cert_expiry{url=\"https://shop.example/a\\\"b\\\\c\"} 1900000000\n",
              "korvane_checks_total{url=\"http://gone.example/\",result=\"failure\"} 2\n",
              "korvane_uptime_ratio{url=\"https://shop.example/a\\\"b\\\\c\",window=\"24h\"} 0.5\n",
              "korvane_maintenance{url=\"https://shop.example/a\\\"b\\\\c\"} 0\n",
              "korvane_maintenance{url=\"http://gone.example/\"} 1\n",
              "korvane_held{url=\"http://gone.example/\",reason=\"maintenance\"} 1\n",
              "korvane_alarms_paused_until_timestamp_seconds 1765000000\n",
              "korvane_last_cycle_end_timestamp_seconds 1700000000.123\n", "korvane_pages 3\n"})
            QVERIFY2(text.contains(line), line);
        // Without TLS there is no certificate, and without a kept check no uptime.
        QVERIFY(!text.contains("probe_ssl_earliest_cert_expiry{url=\"http://gone.example/\""));
        QVERIFY(!text.contains("window=\"30d\""));
        QVERIFY(metricsText({}).contains("korvane_alarms_paused_until_timestamp_seconds 0\n"));
    }

    void whereItListens_data() {
        QTest::addColumn<QString>("endpoint");
        QTest::addColumn<QByteArray>("token");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("loopback") << "127.0.0.1:0" << QByteArray() << QString();
        QTest::newRow("localhost") << "localhost:0" << QByteArray() << QString();
        QTest::newRow("all addresses, no token")
            << "0.0.0.0:0" << QByteArray()
            << "0.0.0.0 is not a loopback address: serving metrics there needs a "
               "metrics token";
        QTest::newRow("all addresses, token") << "0.0.0.0:0" << QByteArray("s3cret") << QString();
        QTest::newRow("no port") << "127.0.0.1" << QByteArray()
                                 << "\"127.0.0.1\" is not an address and port such as 127.0.0.1:9101";
        QTest::newRow("a name")
            << "metrics.example:9101" << QByteArray("s3cret")
            << "\"metrics.example:9101\" is not an address and port such as 127.0.0.1:9101";
        QTest::newRow("IPv6 without brackets")
            << "::1:9101" << QByteArray() << "\"::1:9101\" is not an address and port such as 127.0.0.1:9101";
    }
    void whereItListens() {
        QFETCH(QString, endpoint);
        QFETCH(QByteArray, token);
        QFETCH(QString, refusal);
        MetricsServer server([] { return QByteArray(); });
        QCOMPARE(server.listen(endpoint, token), refusal);
        QCOMPARE(server.port() != 0, refusal.isEmpty());
    }

    void servesOnlyMetricsToTheTokenHolder() {
        MetricsServer server([] { return metricsText(twoPages()); });
        QCOMPARE(server.listen(QStringLiteral("127.0.0.1:0"), "s3cret"), QString());
        const QString base = QStringLiteral("http://127.0.0.1:%1").arg(server.port());
        QNetworkAccessManager network;
        QCOMPARE(get(network, base + "/metrics").status, 401);
        QCOMPARE(get(network, base + "/metrics", "wrong").status, 401);
        const Answer scrape = get(network, base + "/metrics", "s3cret");
        QCOMPARE(scrape.status, 200);
        QCOMPARE(scrape.contentType, QByteArray(MetricsContentType));
        QCOMPARE(scrape.body, metricsText(twoPages()));
        QCOMPARE(get(network, base + "/", "s3cret").status, 404);
        std::unique_ptr<QNetworkReply> post(
            network.post(QNetworkRequest(QUrl(base + "/metrics")), QByteArray("x")));
        QTRY_VERIFY(post->isFinished());
        QCOMPARE(post->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 405);
    }

    // Pausing and resuming the alarms takes the token, wherever the request comes from.
    void pauseAndResumeTakeTheToken_data() {
        QTest::addColumn<QByteArray>("served"); // the server's token
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("token");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body"); // the pause ends as many seconds after 1970 as asked
        using B = QByteArray;
        const B t = "s3cret";
        QTest::newRow("pause") << t << B("POST /pause?for=30m") << t << 200
                               << B(R"({"pausedUntil":"1970-01-01T00:30:00Z"})");
        QTest::newRow("resume") << t << B("POST /resume") << t << 200 << B(R"({"pausedUntil":null})");
        QTest::newRow("no token") << t << B("POST /pause?for=30m") << B() << 401 << B();
        QTest::newRow("wrong token") << t << B("POST /resume") << B("x") << 401 << B();
        QTest::newRow("no length") << t << B("POST /pause?for=") << t << 400 << B();
        QTest::newRow("GET") << t << B("GET /pause?for=30m") << t << 405 << B();
        QTest::newRow("served without a token") << B() << B("POST /resume") << t << 404 << B();
    }
    void pauseAndResumeTakeTheToken() {
        QFETCH(QByteArray, served);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, token);
        QFETCH(QByteArray, body);
        int calls = 0;
        MetricsServer server(
            [] { return QByteArray(); },
            {[&calls](qint64 seconds) { return ++calls, QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC); },
             [&calls] { ++calls; }});
        QCOMPARE(server.listen(QStringLiteral("127.0.0.1:0"), served), QString());
        QNetworkAccessManager network;
        const QList<QByteArray> verbAndPath = request.split(' ');
        const Answer answer =
            get(network, QStringLiteral("http://127.0.0.1:%1").arg(server.port()) + verbAndPath[1], token,
                verbAndPath[0]);
        QTEST(answer.status, "status");
        QCOMPARE(calls, body.isEmpty() ? 0 : 1);
        if (!body.isEmpty())
            QCOMPARE(answer.contentType + ' ' + answer.body, "application/json " + body);
    }

    void connectionsAndRequestsAreBounded() {
        BoundedTcpServer server(
            {.maxConnections = 2, .maxRequestBytes = 100, .requestMs = 60000, .idleMs = 60000});
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QTcpSocket sockets[3];
        for (QTcpSocket& socket : sockets)
            socket.connectToHost(QHostAddress::LocalHost, server.serverPort());
        // The third was accepted by the system and waits its turn.
        QTRY_VERIFY(server.openConnections() == 2 && server.waitingConnections() == 1);
        sockets[0].write(QByteArray(101, 'x'));
        QTRY_COMPARE(sockets[0].state(), QAbstractSocket::UnconnectedState);
        QTRY_VERIFY(server.openConnections() == 2 && server.waitingConnections() == 0);
        // Once answered, a kept-alive connection gives its place to one waiting.
        QTcpSocket late;
        late.connectToHost(QHostAddress::LocalHost, server.serverPort());
        server.nextPendingConnection();
        server.nextPendingConnection()->write("answer");
        QTRY_COMPARE(sockets[1].state(), QAbstractSocket::UnconnectedState);
        QTRY_COMPARE(server.waitingConnections(), 0);
    }

    // Clients that never finish a request, sending a byte a second, well within any pause a server
    // might allow, hold no place for long: a scrape gets through.
    void scrapeGetsPastDribblingClients() {
        MetricsServer server([] { return metricsText(twoPages()); });
        QCOMPARE(server.listen(QStringLiteral("127.0.0.1:0"), "s3cret"), QString());
        QTcpSocket dribblers[16];
        for (QTcpSocket& dribbler : dribblers) {
            dribbler.connectToHost(QHostAddress::LocalHost, server.port());
            QVERIFY(dribbler.waitForConnected());
        }
        QTimer dribble;
        connect(&dribble, &QTimer::timeout, this, [&dribblers] {
            for (QTcpSocket& dribbler : dribblers)
                if (dribbler.state() == QAbstractSocket::ConnectedState)
                    dribbler.write("G");
        });
        dribble.start(1000);
        QNetworkAccessManager network;
        const QString url = QStringLiteral("http://127.0.0.1:%1/metrics").arg(server.port());
        QCOMPARE(get(network, url, "s3cret").status, 200);
    }

    void prometheusScrapesIt() {
        MetricsServer server([] { return metricsText(twoPages()); });
        QCOMPARE(server.listen(QStringLiteral("127.0.0.1:0"), "s3cret"), QString());
        PrometheusPeer prometheus;
        QVERIFY2(prometheus.start(server.port(), "s3cret"), qPrintable(prometheus.output()));
        QNetworkAccessManager network;
        const QString query =
            QStringLiteral("http://127.0.0.1:%1/api/v1/"
                           "query?query=probe_success%7Burl%3D%22http%3A%2F%2Fgone.example%2F%22%7D")
                .arg(prometheus.port());
        QJsonArray result;
        QTRY_VERIFY_WITH_TIMEOUT(
            (result = QJsonDocument::fromJson(get(network, query).body)["data"]["result"].toArray(),
             !result.isEmpty()),
            60000);
        const QJsonObject sample = result.first().toObject();
        QCOMPARE(sample["metric"]["job"].toString(), QStringLiteral("korvane"));
        QCOMPARE(sample["value"][1].toString(), QStringLiteral("0"));
    }
};

KORVANE_ENGINE_TEST_MAIN(TestMetrics)
#include "test_metrics.moc"
