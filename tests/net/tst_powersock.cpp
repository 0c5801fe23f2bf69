// The socket session against the scripted peer on 127.0.0.1: lines, transactions, sending,
// capturing, lookups, time-outs and cancellations, with the texts the user gets to see.
#include "net/EAbortError.h"
#include "net/ESockError.h"
#include "net/TPowersock.h"
#include "support/net/PeerProcess.h"
#include "support/net/Raised.h"
#include "support/net/ScriptedPeer.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QHostInfo>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

namespace {
QJsonObject raw(const QString& greeting, const QStringList& replies = {}, bool close = false) {
    return {{"mode", "raw"},
            {"greeting", greeting},
            {"replies", QJsonArray::fromStringList(replies)},
            {"close", close}};
}
} // namespace

class TestPowersock : public QObject {
    Q_OBJECT
    std::unique_ptr<TPowersock> s;
    bool connectTo(ScriptedPeer& peer) {
        if (!peer.start())
            return false;
        s->Host = "127.0.0.1";
        s->Port = peer.port();
        s->Disconnect();
        s->Connect();
        return s->Connected;
    }

private slots:
    void init() { s = std::make_unique<TPowersock>(); }

    void linesTransactionsAndEvents() {
        ScriptedPeer peer(
            raw("220 ready\r\nsecond\nthird\n", {"250 OK\r\n", "no digits\r\n", "99999 big\r\n"}));
        QStringList events;
        s->ReportLevel = 8;
        s->OnStatus = [&](QObject*, const QString& text) {
            if (!text.endsWith("Stream")) // the pumps report whenever data moves
                events << text;
        };
        s->OnConnect = [&](QObject*) { events << "*connect"; };
        s->OnDisconnect = [&](QObject*) { events << "*disconnect"; };
        s->OnHostResolved = [&](QObject*) { events << "*resolved"; }; // never for a dotted address
        QVERIFY(connectTo(peer));
        QCOMPARE(events.mid(events.indexOf("Connecting")),
                 QStringList({"Connecting", "Resolve Host", "Timer On", "*connect", "Timer Off"}));
        QCOMPARE(raised<ESockError>([&] { s->Connect(); }), "Already connected");
        // Three lines that came in one piece.
        QCOMPARE(QStringList({s->ReadLn(), s->ReadLn(), s->ReadLn()}),
                 QStringList({"220 ready\r\n", "second\n", "third\n"}));
        QCOMPARE(s->Transaction("HELO me"), "250 OK\r\n");
        QCOMPARE(s->ReplyNumber, 250);
        QCOMPARE(s->Transaction("NOOP"), "no digits\r\n");
        QCOMPARE(s->ReplyNumber, 0);
        QCOMPARE(raised<std::out_of_range>([&] { s->Transaction("BIG"); }), "Range check error");
        events.clear();
        s->Disconnect();
        QCOMPARE(events, QStringList({"Disconnecting", "Request Close Socket", "*disconnect"}));
        QTRY_COMPARE(peer.requests(), QList<QByteArray>({"HELO me\r\nNOOP\r\nBIG\r\n"}));
    }

    void sendingIsComplete() {
        ScriptedPeer peer(raw({}));
        QVERIFY(connectTo(peer));
        QString text;
        for (int i = 0; text.size() < 100000; ++i)
            text += QStringLiteral("Header-%1: value\r\n").arg(i);
        s->Write(text); // far longer than any old limit: all of it goes
        s->SendBuffer(QByteArray("zero\0gone", 9), 0);
        s->SendBuffer("abcdef", 3);
        QCOMPARE(raised<std::out_of_range>([&] { s->SendBuffer(QByteArray(70000, 'x'), 70000); }),
                 "Range check error");
        QByteArray streamed(50000, 's');
        QBuffer stream(&streamed);
        stream.open(QIODevice::ReadOnly);
        int packets = 0;
        s->OnPacketSent = [&](QObject*) { ++packets; };
        s->SendStream(stream);
        QCOMPARE(s->BytesSent, 50000);
        QCOMPARE(packets, 4); // chunks of 16383
        QTemporaryFile file;
        QVERIFY(file.open());
        file.write(QByteArray(40000, 'f'));
        file.close();
        s->SendFile(file.fileName());
        QCOMPARE(s->BytesSent, 40000);
        QVERIFY(!s->FromFile && !s->CountBytes);
        s->Disconnect();
        QTRY_COMPARE(peer.requests().size(), 1);
        QCOMPARE(peer.requests().first(),
                 text.toLatin1() + "zero" + "abc" + streamed + QByteArray(40000, 'f'));
    }

    void capturingAfterTheClose() {
        const QString data =
            QStringLiteral("line\r\n") + QString(TPowersock::LongestUnread, QLatin1Char('d'));
        ScriptedPeer peer(raw(data, {}, true));
        QVERIFY(connectTo(peer));
        QCOMPARE(s->ReadLn(), "line\r\n");
        QTRY_VERIFY(!s->Connected); // closed by the peer; what it sent is kept
        QCOMPARE(s->CaptureString(-1), data.mid(6));
        QCOMPARE(s->CaptureString(-1), QString());
    }

    void lookups() {
        s->Host = "nohost.invalid";
        QCOMPARE(raised<ESockError>([&] { s->Connect(); }), "Null Remote Address");
        QVERIFY(s->RemoteAddress.isNull());
        // The handler gets one chance; the name it gives is looked up once more.
        int asked = 0;
        s->OnInvalidHost = [&](bool& handled) {
            handled = ++asked;
            s->Host = QString(130, QLatin1Char('a')) + ".invalid"; // a long name is looked up whole
        };
        QCOMPARE(raised<ESockError>([&] { s->Connect(); }), "Null Remote Address");
        QCOMPARE(asked, 1);
        // With a proxy, its name is looked up and its port connected to.
        ScriptedPeer peer(raw("hi\n"));
        QVERIFY(peer.start());
        int resolved = 0;
        s->OnHostResolved = [&](QObject*) { ++resolved; };
        s->Proxy = "localhost";
        s->ProxyPort = peer.port();
        s->Connect();
        QCOMPARE(s->ReadLn(), "hi\n");
        QCOMPARE(resolved, 1);
        QCOMPARE(s->RemoteIP(), "127.0.0.1");
        // The local address is one the system's resolver gives for this host's name; without one
        // there is no address to give.
        QProcess getent;
        getent.start("getent", {"ahostsv4", QHostInfo::localHostName()});
        QVERIFY(getent.waitForFinished(10000));
        QStringList addresses;
        for (const QString& line :
             QString::fromLatin1(getent.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
            addresses << line.section(' ', 0, 0);
        if (addresses.isEmpty())
            QCOMPARE(raised<ESockError>([&] { s->LocalIP(); }), "Host Lookup Failed");
        else
            QVERIFY2(addresses.contains(s->LocalIP()),
                     qPrintable(s->LocalIP() + " not in " + addresses.join(' ')));
        // A cancellation while the name is being looked up.
        s->Disconnect();
        s->ReportLevel = 8;
        s->OnStatus = [&](QObject*, const QString& text) {
            if (text == "Timer On")
                s->Cancel();
        };
        QCOMPARE(raised<ESockError>([&] { s->Connect(); }), "Host Lookup Canceled");
        QVERIFY(s->Canceled);
    }

    void connectTimeOutCancelAndRetry() {
        ScriptedPeer stuck(QJsonObject{{"mode", "backlog"}});
        QVERIFY(stuck.start());
        s->Host = "127.0.0.1";
        s->Port = stuck.port();
        s->TimeOut = 300;
        int failed = 0;
        s->OnConnectionFailed = [&](QObject*) { ++failed; };
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(raised<ESockError>([&] { s->Connect(); }), "Connection Timed out");
        QVERIFY(s->TimerExpired && clock.elapsed() < 5000);
        s->TimeOut = 0; // no limit: only a cancellation ends it
        QTimer::singleShot(200, s.get(), [&] { s->Cancel(); });
        QCOMPARE(raised<ESockError>([&] { s->Connect(); }), "Connection Canceled");
        s->Port = PeerProcess::freePort();
        QCOMPARE(raised<ESockError>([&] { s->Connect(); }), "Connection Failed");
        QCOMPARE(s->LastErrorNo, 10061u);
        QCOMPARE(failed, 3);
        ScriptedPeer good(raw("ok\n")); // after all that, a connect works like the first one
        QVERIFY(connectTo(good));
        QCOMPARE(s->ReadLn(), "ok\n");
    }

    void waitsEndByCancellation() {
        ScriptedPeer peer(raw("partial", {"rest\n"}));
        QVERIFY(connectTo(peer));
        QTimer::singleShot(200, s.get(), [&] { s->Cancel(); });
        QCOMPARE(raised<EAbortError>([&] { s->ReadLn(); }), "Socket readln aborted");
        QVERIFY(s->Canceled); // stays pending for the caller to see
        s->Write("x");        // with a cancellation pending nothing is sent and the flag stays
        QCOMPARE(raised<EAbortError>([&] { s->CaptureString(-1); }), "Socket capture aborted");
        QVERIFY(!s->Canceled);
        QTimer::singleShot(200, s.get(), [&] { s->Cancel(); });
        QCOMPARE(raised<EAbortError>([&] { s->CaptureString(-1); }), "Socket capture aborted");
        // A file send canceled after its first chunk says so, and sends nothing more.
        QTemporaryFile file;
        QVERIFY(file.open());
        file.write(QByteArray(40000, 'f'));
        file.close();
        s->OnPacketSent = [&](QObject*) { s->Cancel(); };
        QCOMPARE(raised<EAbortError>([&] { s->SendFile(file.fileName()); }), "Socket send aborted");
        QVERIFY(!s->Canceled && !s->FromFile);
        s->OnPacketSent = nullptr;
        // The half line of the aborted exchange never leaks into the next connection. (The peer
        // records each connection as it ends; waiting for the first keeps them in order.)
        s->Disconnect();
        QTRY_COMPARE(peer.requests(), QList<QByteArray>({QByteArray(16383, 'f')}));
        s->Connect();
        s->Writeln("go");
        QCOMPARE(s->ReadLn(), "partialrest\n");
        s->Disconnect();
        QTRY_COMPARE(peer.requests(), QList<QByteArray>({QByteArray(16383, 'f'), "go\r\n"}));
    }

    void requireConnection() {
        int asked = 0;
        s->OnConnectionRequired = [&](bool& handled) { handled = ++asked; };
        QCOMPARE(raised<std::runtime_error>([&] { s->RequireConnection(); }), "Not Connected");
        QCOMPARE(asked, 1);
    }
};

QTEST_GUILESS_MAIN(TestPowersock)
#include "tst_powersock.moc"
