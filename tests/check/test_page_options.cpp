// A page's own options through the real window: content checks, a login, extra headers and
// accepted codes, against nginx and a peer that records what it received.
#include "CheckFixture.h"
#include "support/FakeSecretStore.h"
#include "support/TestMain.h"
#include "support/net/NginxPeer.h"
#include "support/net/ScriptedPeer.h"
#include "views/PageOptionsDialog.h"

#include <QComboBox>
#include <QJsonObject>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

Q_DECLARE_METATYPE(PageOptions)

namespace {

PageOptions contains(const QString& text, bool regularExpression = false, bool matchCase = true) {
    PageOptions options;
    options.mustContain = text;
    options.regularExpression = regularExpression;
    options.matchCase = matchCase;
    return options;
}

PageOptions lacks(const QString& text, bool matchCase = true) {
    PageOptions options;
    options.mustNotContain = text;
    options.matchCase = matchCase;
    return options;
}

PageOptions accepting(const QString& codes) {
    PageOptions options;
    options.acceptedCodes = codes;
    return options;
}

QStringList failures(const QStringList& lines) {
    QStringList out;
    for (const QString& line : lines)
        if (line.startsWith("Content check") || line.startsWith("Page not found") ||
            line.startsWith("Connection"))
            out.append(line);
    return out;
}

} // namespace

class TestPageOptions : public QObject {
    Q_OBJECT
    NginxPeer nginx;
    ScriptedPeer chunked{
        ScriptedPeer::routes({{"*", ScriptedPeer::reply("HTTP/1.0 200 OK\r\nTransfer-Encoding: "
                                                        "chunked\r\n\r\n2\r\nzz\r\n1\r\nz\r\n0\r\n\r\n")}})};

private slots:
    void initTestCase() {
        QVERIFY2(chunked.start(), qPrintable(chunked.output()));
        nginx.addFile("exactly-1-mib.html", QByteArray(1024 * 1024, 'x'));
        nginx.addFile("shop.html", "<html>Add to cart</html>");
        nginx.addFile("broken.html", "<html>Database error</html>");
        nginx.addFile("private/index.html", "members");
        nginx.addFile("big.html", QByteArray(2 * 1024 * 1024, 'x') + "tail marker");
        QVERIFY(nginx.addLogin("alice", "s3cret"));
        QVERIFY2(nginx.start(), qPrintable(nginx.output()));
    }
    void init() { testSecrets() = FakeSecretStore(); }

    void outcome_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<PageOptions>("options");
        QTest::addColumn<QString>("failure"); // the log line before ": " + address; none: a success

        QTest::newRow("text there") << "shop.html" << contains("Add to cart") << "";
        QTest::newRow("text missing") << "broken.html" << contains("Add to cart")
                                      << "Content check failed: text not found: Add to cart";
        QTest::newRow("case must match")
            << "shop.html" << contains("add to cart") << "Content check failed: text not found: add to cart";
        QTest::newRow("case ignored") << "shop.html" << contains("ADD TO CART", false, false) << "";
        QTest::newRow("forbidden text there") << "broken.html" << lacks("database ERROR", false)
                                              << "Content check failed: text found: database ERROR";
        QTest::newRow("forbidden text absent") << "shop.html" << lacks("Database error") << "";
        QTest::newRow("expression") << "shop.html" << contains(R"(Add\s+to\s+c[a-z]+t)", true) << "";
        QTest::newRow("expression missing") << "shop.html" << contains(R"(\d+ items)", true)
                                            << "Content check failed: text not found: \\d+ items";
        QTest::newRow("first 60 characters quoted")
            << "shop.html" << contains(QString(59, 'a') + "bc")
            << "Content check failed: text not found: " + QString(59, 'a') + "b";
        QTest::newRow("past the first MiB")
            << "big.html" << contains("tail marker")
            << "Content check failed: text not found: tail marker (first 1 MiB searched)";
        QTest::newRow("exactly the first MiB")
            << "exactly-1-mib.html" << contains("y") << "Content check failed: text not found: y";
        QTest::newRow("chunked") << "/chunked" << contains("zzz") << ""; // the chunks' data only
        QTest::newRow("login wanted, 401 accepted") << "private/" << accepting("401") << "";
        QTest::newRow("404 watched to stay gone") << "gone.html" << accepting("200-299,404") << "";
        QTest::newRow("200 not accepted") << "shop.html" << accepting("300-399") << "Page not found: ";
        QTest::newRow("401 by default") << "private/" << PageOptions() << "Page not found: ";
    }

    void outcome() {
        QFETCH(QString, path);
        QFETCH(PageOptions, options);
        QFETCH(QString, failure);
        CheckFixture f;
        f.muteSounds();
        const QString url = path.startsWith('/') ? chunked.url(path) : nginx.url(path);
        const int page = f.addPage(url, false, false, false);
        f.w().pages.setOptions(page, options);
        const QStringList lines = failures(f.runCycle());
        if (failure.isEmpty()) {
            QCOMPARE(lines, QStringList());
            QCOMPARE(f.status(page), PageStatus::Ok);
        } else {
            QCOMPARE(lines, QStringList{failure + ": " + url});
            QCOMPARE(f.status(page), PageStatus::RedAlarm);
        }
    }

    // The login typed into the address goes to the secret store, never into the settings or the
    // log, and comes back after a restart.
    void loginKeptInTheSecretStore() {
        CheckFixture f;
        f.muteSounds();
        const QString listed = nginx.url("private/").replace("http://", "http://alice@");
        f.w().webPages.EditURL->setText(QString(listed).replace("alice@", "alice:s3cret@"));
        f.w().webPages.ButtonAdd->click();
        QCOMPARE(f.w().pages.url(0), listed);
        QCOMPARE(failures(f.runCycle()),
                 QStringList{"Connection failed: login not sent over plain http: " + listed});

        PageOptions options = f.w().pages.options(0);
        options.plainLogin = true;
        f.w().pages.setOptions(0, options);
        QCOMPARE(failures(f.runCycle()), QStringList());
        QCOMPARE(f.status(0), PageStatus::Ok);

        f.restart();
        QVERIFY(!f.settingsText().contains("s3cret"));
        QVERIFY(f.settingsText().contains("1.allow login over plain http=1"));
        QCOMPARE(testSecrets().entries.values(), QStringList{"s3cret"});
        QCOMPARE(f.w().pages.options(0).password, "s3cret");
        QCOMPARE(failures(f.runCycle()), QStringList());
        QCOMPARE(f.status(0), PageStatus::Ok);
        QVERIFY(!f.logLines().join('\n').contains("s3cret"));

        // A page without a password any more leaves nothing behind in the store.
        options.password.clear();
        f.w().pages.setOptions(0, options);
        f.restart();
        QCOMPARE(testSecrets().entries.size(), 0);
    }

    // An address kept with its password by an older version gives it up to the secret store, and
    // keeps it in the settings file, then for its owner's eyes only, where no store answers, so it is
    // never lost. It is shown and told without it either way.
    void olderAddressGivesUpItsPassword_data() {
        QTest::addColumn<bool>("store");
        QTest::newRow("secret store") << true;
        QTest::newRow("no secret store") << false;
    }

    void olderAddressGivesUpItsPassword() {
        QFETCH(bool, store);
        testSecrets().present = store;
        const QString typed = nginx.url("private/").replace("http://", "http://alice:s3cret@");
        CheckFixture f("[defaults]\nCheckListBoxURL=1" + typed.toUtf8() + ",\n");
        QCOMPARE(f.w().pages.url(0), QString(typed).remove(":s3cret"));
        f.w().pages.setOptions(0, [&] {
            PageOptions options = f.w().pages.options(0);
            options.plainLogin = true;
            return options;
        }());
        QCOMPARE(failures(f.runCycle()), QStringList());
        QVERIFY(!f.logLines().join('\n').contains("s3cret"));
        f.close();
        QCOMPARE(f.settingsText().contains(typed.toUtf8()), !store);
        QCOMPARE(testSecrets().entries.values(), store ? QStringList{"s3cret"} : QStringList());
        if (!store)
            QCOMPARE(QFile::permissions(f.settingsPath()) & ~(QFile::ReadUser | QFile::WriteUser),
                     QFile::ReadOwner | QFile::WriteOwner);
    }

    // What the server received: the page's own headers and a GET, and for a page without options
    // the very request every page sent before there were options.
    void requestAsTheServerGotIt() {
        ScriptedPeer peer(QJsonObject{
            {"mode", "http"},
            {"routes",
             QJsonObject{{"*", QJsonObject{{"send", QString::fromLatin1("HTTP/1.0 200 OK\r\nContent-Type: "
                                                                        "text/html; charset=iso-8859-1"
                                                                        "\r\n\r\ncaf\xe9 ouvert")}}}}}});
        QVERIFY2(peer.start(), qPrintable(peer.output()));
        CheckFixture f;
        f.muteSounds();
        f.addPage(peer.url("/plain"), false, false, false);
        const int page = f.addPage(peer.url("/api"), false, false, false);
        PageOptions options = contains("café ouvert");
        options.headers = QStringList{"X-Api-Key: k1", "User-Agent: watcher/2"};
        f.w().pages.setOptions(page, options);
        QCOMPARE(failures(f.runCycle()), QStringList());
        QCOMPARE(f.status(page), PageStatus::Ok);

        const QByteArray host = "Host: 127.0.0.1\r\n";
        const QByteArray accept =
            "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
            "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n";
        const QByteArray form = "Content-type: application/x-www-form-urlencoded\r\n";
        QList<QByteArray> requests = peer.requests();
        std::sort(requests.begin(), requests.end()); // the two pages go side by side
        QCOMPARE(requests,
                 QList<QByteArray>({"GET /api HTTP/1.0\r\n" + host + accept + "User-Agent: watcher/2\r\n" +
                                        form + "X-Api-Key: k1\r\n\r\n",
                                    "HEAD /plain HTTP/1.0\r\n" + host + accept + "User-Agent: Korvane\r\n" +
                                        form + "\r\n"}));
    }

    // A page's own headers follow a redirect on its server, never to another one (localhost here).
    void headersStayOnThePagesServer() {
        ScriptedPeer peer(ScriptedPeer::routes(
            {{"/away",
              ScriptedPeer::reply("HTTP/1.0 302 Found\r\nLocation: http://localhost:{PORT}/else\r\n\r\n")},
             {"/here", ScriptedPeer::reply("HTTP/1.0 302 Found\r\nLocation: /final\r\n\r\n")}}));
        QVERIFY2(peer.start(), qPrintable(peer.output()));
        CheckFixture f;
        f.muteSounds();
        PageOptions options;
        options.headers = QStringList{"X-Api-Key: k1"};
        for (const char* path : {"/away", "/here"})
            f.w().pages.setOptions(f.addPage(peer.url(path), false, false, false), options);
        QCOMPARE(failures(f.runCycle()), QStringList());
        QTRY_COMPARE(peer.requests().size(), 4);
        for (const QByteArray& request : peer.requests())
            QCOMPARE(request.contains("X-Api-Key: k1"), !request.startsWith("HEAD /else"));
    }

    // The dialog, driven from the keyboard: every wrong field says why, and nothing is kept
    // until all are right.
    void dialogFromTheKeyboard() {
        CheckFixture f;
        const QString url = nginx.url("shop.html");
        f.addPage(nginx.url("broken.html"));
        f.addPage(url);
        f.w().PageControl1->setCurrentWidget(f.w().webPages.TabSheetWebPages);
        f.w().webPages.CheckListBoxURL->setCurrentRow(1);
        QVERIFY(f.w().webPages.ButtonPageOptions->isEnabled());
        QTest::keyClick(f.w().webPages.CheckListBoxURL, Qt::Key_Return);
        auto* dialog = f.w().findChild<PageOptionsDialog*>("DialogPageOptions");
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), "Page options — " + url);
        const auto field = [&](const char* name) { return dialog->findChild<QWidget*>(name); };
        const auto error = [&](const char* name) {
            auto* label = dialog->findChild<QLabel*>(QString(name) + "Error");
            return label->isVisibleTo(dialog) ? label->text() : QString();
        };
        QTest::keyClicks(field("EditMustContain"), "([a-z]");
        QTest::keyClick(field("CheckBoxRegularExpression"), Qt::Key_Space);
        QTest::keyClicks(field("MemoHeaders"), "Host: elsewhere");
        QTest::keyClicks(field("EditAcceptedCodes"), "2xx");
        QTest::keyClicks(field("EditPageTimeOut"), "0");
        QTest::keyClicks(field("MemoConditions"), "[STATUS] = 200");
        QTest::keyClick(field("EditPageSlow"), Qt::Key_Return);
        QVERIFY(dialog->isVisible());
        QVERIFY(error("EditMustContain").startsWith("not a regular expression: "));
        QCOMPARE(error("MemoHeaders"), "Host is set by Korvane");
        QCOMPARE(error("EditAcceptedCodes"), "not a list of status codes such as 200-299,301,401");
        QCOMPARE(error("EditPageTimeOut"), "not a whole number of seconds");
        QCOMPARE(error("MemoConditions"), "line 1, column 10: expected ==, !=, <, <=, >, >= or contains");
        QVERIFY(!field("EditSend")->isVisibleTo(dialog)); // an http page sends nothing of its own
        QCOMPARE(field("EditMustContain")->accessibleDescription(), error("EditMustContain"));
        QCOMPARE(f.w().pages.options(1), PageOptions());

        static_cast<QLineEdit*>(field("EditMustContain"))->setText("[A-Z][a-z]+ to cart");
        static_cast<QPlainTextEdit*>(field("MemoHeaders"))->setPlainText("X-Api-Key: k1");
        static_cast<QLineEdit*>(field("EditAcceptedCodes"))->setText("200-299,301");
        static_cast<QLineEdit*>(field("EditPageTimeOut"))->setText("30");
        static_cast<QPlainTextEdit*>(field("MemoConditions"))->setPlainText("\n [STATUS] == 200\n");
        QTest::keyClick(field("EditPageSlow"), Qt::Key_Return);
        QTRY_VERIFY(!f.w().findChild<PageOptionsDialog*>("DialogPageOptions"));
        const PageOptions kept = f.w().pages.options(1);
        QVERIFY(kept.get); // a content check needs the page itself
        QCOMPARE(kept.mustContain, "[A-Z][a-z]+ to cart");
        QCOMPARE(kept.headers, QStringList{"X-Api-Key: k1"});
        QCOMPARE(kept.timeOut, "30");
        QCOMPARE(kept.conditions, QStringList{"[STATUS] == 200"});

        // The options follow their page when a page before it goes, and over a restart.
        f.w().pages.deletePage(0);
        QCOMPARE(f.w().pages.options(0), kept);
        f.restart();
        QVERIFY(f.settingsText().contains("\n1.must contain=\"[A-Z][a-z]+ to cart\"\n"));
        QCOMPARE(f.w().pages.options(0), kept);
    }
};

KORVANE_TEST_MAIN(TestPageOptions)
#include "test_page_options.moc"
