// The texts the alarm mail is made from: macro expansion and the port field.
#include "notify/MailMacros.h"
#include "net/IntegerText.h"

#include <QTest>

class TestMailSettingsText : public QObject {
    Q_OBJECT
private slots:
    void macros_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expanded");
        QTest::newRow("no macros") << "plain text"
                                   << "plain text";
        QTest::newRow("lower case is no macro") << "%url%"
                                                << "%url%";
        QTest::newRow("closing percent sign counts") << "%HOST% %HOST_IP% %HOST_PORT% %PROXY% %PROXY_PORT%"
                                                     << "h 1.2.3.4 81 p 8080";
        QTest::newRow("every occurrence, asked anew") << "%TIME%-%TIME%"
                                                      << "t1-t2";
        // The address holds %URL% and %DATE%: its own macro is not searched again, a later one is.
        QTest::newRow("value holding macros") << "%URL% %ERROR%"
                                              << "a%URL%d b";
    }
    void macros() {
        QFETCH(QString, text);
        QFETCH(QString, expanded);
        int clock = 0;
        const QHash<QString, QString> values{
            {"%URL%", "a%URL%%DATE%"}, {"%ERROR%", "b"}, {"%HOST%", "h"},          {"%HOST_IP%", "1.2.3.4"},
            {"%HOST_PORT%", "81"},     {"%PROXY%", "p"}, {"%PROXY_PORT%", "8080"}, {"%DATE%", "d"}};
        QCOMPARE(MailMacros::expand(text,
                                    [&](const QString& macro) {
                                        return macro == "%TIME%" ? QString("t%1").arg(++clock)
                                                                 : values.value(macro);
                                    }),
                 expanded);
    }

    void port_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<int>>("port");
        QTest::newRow("plain") << "25" << std::optional(25);
        QTest::newRow("leading blanks") << "  587" << std::optional(587);
        QTest::newRow("plus") << "+25" << std::optional(25);
        QTest::newRow("minus") << "-1" << std::optional(-1);
        QTest::newRow("dollar hex") << "$19" << std::optional(25);
        QTest::newRow("0x hex") << "0x1bD" << std::optional(445);
        QTest::newRow("trailing blank") << "25 " << std::optional<int>();
        QTest::newRow("empty") << "" << std::optional<int>();
        QTest::newRow("only blanks") << "   " << std::optional<int>();
        QTest::newRow("letters") << "2a" << std::optional<int>();
        QTest::newRow("bare prefix") << "0x" << std::optional<int>();
        QTest::newRow("too big") << "99999999999" << std::optional<int>();
    }
    void port() {
        QFETCH(QString, text);
        QFETCH(std::optional<int>, port);
        QCOMPARE(IntegerText::parse(text), port);
    }
};

QTEST_GUILESS_MAIN(TestMailSettingsText)
#include "test_mail_settings_text.moc"
