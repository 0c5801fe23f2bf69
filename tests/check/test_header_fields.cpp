// The header field readers of change detection and of redirects, on texts alone.
#include "check/HeaderFields.h"
#include "check/PageSignature.h"
#include "check/RedirectTarget.h"

#include <QTest>

using namespace HeaderFields;

class TestHeaderFields : public QObject {
    Q_OBJECT
private slots:
    void contentLength_data() {
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("length");
        QTest::newRow("plain") << "HTTP/1.0 200 OK\r\nContent-Length: 5120\r\nETag: \"x\"\r\n\r\n" << 5120;
        QTest::newRow("upper case") << "HTTP/1.0 200 OK\r\nCONTENT-LENGTH: 7\r\n" << 7;
        QTest::newRow("last line without ending") << "HTTP/1.0 200 OK\r\ncontent-length: 12" << 12;
        QTest::newRow("bare line feeds") << "HTTP/1.0 200 OK\ncontent-length: 12\nServer: x\n" << 12;
        QTest::newRow("missing") << "HTTP/1.0 200 OK\r\nServer: x\r\n" << -1;
        QTest::newRow("not a number") << "HTTP/1.0 200 OK\r\nContent-Length: lots\r\n" << -1;
        QTest::newRow("beyond 32 bits") << "HTTP/1.0 200 OK\r\nContent-Length: 99999999999\r\n" << -1;
        QTest::newRow("no blank after colon") << "HTTP/1.0 200 OK\r\nContent-Length:5120\r\nServer: x\r\n"
                                              << 5120;
        QTest::newRow("tab and blanks after colon") << "HTTP/1.0 200 OK\r\nContent-Length:\t  42 \r\n" << 42;
        QTest::newRow("empty value") << "HTTP/1.0 200 OK\r\nContent-Length:\r\nServer: 5\r\n" << -1;
        QTest::newRow("zero") << "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n" << 0;
    }
    void contentLength() {
        QFETCH(QString, header);
        QFETCH(int, length);
        QCOMPARE(HeaderContentLength(header), length);
    }

    void entityTagAndDate() {
        const QString header = "HTTP/1.0 200 OK\r\nLast-Modified: Sun, 06 Dec 1998 10:00:00 GMT\r\n"
                               "ETAG: W/\"Ab,c\"\r\n\r\n";
        QCOMPARE(HeaderETag(header), QString("W/\"Ab,c\""));
        QCOMPARE(HeaderLastModified(header), QString("Sun 06 Dec 1998 10:00:00 GMT"));
        QCOMPARE(HeaderETag("HTTP/1.0 200 OK\r\n\r\n"), QString());
        QCOMPARE(HeaderLastModified("HTTP/1.0 200 OK\r\n\r\n"), QString());
        // An entity tag ends at a blank; a date keeps its blanks.
        QCOMPARE(HeaderETag("HTTP/1.0 200 OK\r\nETag: \"a b\"\r\n"), QString("\"a"));
        // Values follow the colon with or without blanks; a name with no colon after it on its
        // line has no value.
        QCOMPARE(HeaderETag("HTTP/1.0 200 OK\r\nETag:\"x\"\r\n"), QString("\"x\""));
        QCOMPARE(HeaderLastModified("HTTP/1.0 200 OK\r\nLast-Modified:Sun, 06 Dec 1998\r\n"),
                 QString("Sun 06 Dec 1998"));
        QCOMPARE(HeaderLastModified("HTTP/1.0 200 OK\r\nX-Last-Modified-By: Bob\r\n"), QString("Bob"));
        QCOMPARE(HeaderLastModified("HTTP/1.0 200 OK\r\nX: last-modified\r\nServer: y\r\n"), QString());
    }

    void signatureStoredWithoutCommasAndBackExactly() {
        for (const QString& tag :
             {QString("\"plain\""), QString("\"a,b\""), QString("\"100%\""), QString("%2C,%25")}) {
            const QString kept = PageSignature::stored(tag);
            QVERIFY(!kept.contains(','));
            QCOMPARE(PageSignature::shown(kept), tag);
        }
        QVERIFY(PageSignature::stored("\"%2C\"") != PageSignature::stored("\",\""));
    }

    void redirectTarget_data() {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("target");
        const QString from = "http://127.0.0.1:8080/dir/page.html";
        QTest::newRow("absolute") << "HTTP/1.0 302 Found\r\nLocation: http://other/x\r\n\r\n"
                                  << "http://other/x";
        QTest::newRow("lower case") << "HTTP/1.0 302 Found\r\nlocation: http://other/x\r\n"
                                    << "http://other/x";
        QTest::newRow("no blank") << "HTTP/1.0 302 Found\r\nLocation:http://other/x\r\n"
                                  << "http://other/x";
        QTest::newRow("path only") << "HTTP/1.0 301 Moved\r\nLocation: /new\r\n"
                                   << "http://127.0.0.1:8080/new";
        QTest::newRow("relative") << "HTTP/1.0 301 Moved\r\nLocation: next.html\r\n"
                                  << "http://127.0.0.1:8080/dir/next.html";
        QTest::newRow("other fields ignored")
            << "HTTP/1.0 302 Found\r\nContent-Location: /wrong\r\nX: Location: /wrong\r\nLocation: /right\r\n"
            << "http://127.0.0.1:8080/right";
        QTest::newRow("none") << "HTTP/1.0 302 Found\r\nServer: x\r\n\r\n" << QString();
        QTest::newRow("empty") << "HTTP/1.0 302 Found\r\nLocation: \r\n\r\n" << QString();
    }
    void redirectTarget() {
        QFETCH(QString, header);
        QFETCH(QString, target);
        const std::optional<QString> found =
            RedirectTarget::fromHeader(header, "http://127.0.0.1:8080/dir/page.html");
        QCOMPARE(found.value_or(QString()), target);
    }
};

QTEST_GUILESS_MAIN(TestHeaderFields)
#include "test_header_fields.moc"
