// The INI reading rule and the comma text of the memo, on bytes and texts alone.
#include "net/IniFile.h"
#include "settings/CommaText.h"

#include <QTemporaryDir>
#include <QTest>

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    void readingRule_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << QByteArray("EditURL=http://a/") << "http://a/";
        QTest::newRow("blanks trimmed") << QByteArray("EditURL =  http://a/ \t") << "http://a/";
        QTest::newRow("double quotes removed") << QByteArray("EditURL=\" a b \"") << " a b ";
        QTest::newRow("single quotes removed") << QByteArray("EditURL='x'") << "x";
        QTest::newRow("mixed quotes kept") << QByteArray("EditURL=\"x'") << "\"x'";
        QTest::newRow("lone quote kept") << QByteArray("EditURL=\"") << "\"";
        QTest::newRow("only first equals splits") << QByteArray("EditURL=a=b") << "a=b";
        QTest::newRow("empty") << QByteArray("EditURL=") << "";
        QTest::newRow("utf8") << QByteArray("EditURL=http://\xc3\xa9t\xc3\xa9/") << "http://\u00e9t\u00e9/";
        QTest::newRow("carriage return") << QByteArray("EditURL=x\r") << "x";
    }
    void readingRule() {
        QFETCH(QByteArray, line);
        QFETCH(QString, expected);
        const IniFile ini = IniFile::parse("[defaults]\r\n" + line + "\r\n");
        QCOMPARE(ini.value("defaults", "EditURL"), std::optional<QString>(expected));
    }

    void namesMatchWithoutLetterCase() {
        const IniFile ini =
            IniFile::parse("[Other]\nEditURL=wrong\n[DEFAULTS]\neditURL=right\nEditURL=second\n");
        QCOMPARE(ini.value("defaults", "EDITurl"), std::optional<QString>("right"));
        QCOMPARE(ini.value("defaults", "Missing"), std::nullopt);
        QCOMPARE(ini.value("nosuch", "EditURL"), std::nullopt);
    }

    void writingKeepsEverythingElse() {
        IniFile ini = IniFile::parse("; my notes\n[defaults]\nEditURL=old\n\n[Other]\nx=1\n");
        ini.setValue("defaults", "editurl", "new");
        ini.setValue("defaults", "EditTimeOut", "20");
        ini.setValue("Third", "k", "v");
        QCOMPARE(ini.serialize(), QByteArray("; my notes\n[defaults]\nediturl=new\nEditTimeOut=20\n\n"
                                             "[Other]\nx=1\n[Third]\nk=v\n"));
    }

    void lineBreakInValueCannotSplitTheFile() {
        IniFile ini;
        ini.setValue("defaults", "EditURL", "http://a/\nEditTimeOut=1");
        const IniFile back = IniFile::parse(ini.serialize());
        QCOMPARE(back.value("defaults", "EditTimeOut"), std::nullopt);
        QCOMPARE(back.value("defaults", "EditURL"), std::optional<QString>("http://a/ EditTimeOut=1"));
    }

    void saveReplacesTheFileWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath("KV.ini");
        IniFile ini;
        ini.setValue("defaults", "a", "1");
        QVERIFY(ini.save(path));
        QCOMPARE(IniFile::load(path).value("defaults", "a"), std::optional<QString>("1"));
        QVERIFY(!ini.save(dir.filePath("missing/folder/KV.ini")));
        QCOMPARE(IniFile::load(dir.filePath("nothing.ini")).serialize(), QByteArray());
    }

    void commaTextSaving_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << QStringList{} << "";
        QTest::newRow("one empty line") << QStringList{""} << "\"\"";
        QTest::newRow("plain") << QStringList{"a", "b"} << "a,b";
        QTest::newRow("empty between") << QStringList{"a", "", "b"} << "a,,b";
        QTest::newRow("blank quoted") << QStringList{"%ERROR% "} << "\"%ERROR% \"";
        QTest::newRow("comma quoted") << QStringList{"a,b"} << "\"a,b\"";
        QTest::newRow("quote doubled") << QStringList{"say \"hi\""} << "\"say \"\"hi\"\"\"";
        QTest::newRow("tab quoted") << QStringList{"a\tb"} << "\"a\tb\"";
    }
    void commaTextSaving() {
        QFETCH(QStringList, lines);
        QFETCH(QString, text);
        QCOMPARE(toCommaText(lines), text);
        if (!(lines.size() == 1 && lines[0].isEmpty()))
            QCOMPARE(fromCommaText(text), lines);
    }

    void commaTextLoading_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("two quotes") << "\"\"" << QStringList{""};
        QTest::newRow("last comma drops empty item") << "a,b," << QStringList{"a", "b"};
        QTest::newRow("blanks around items") << "  a ,  b" << QStringList{"a", "b"};
        QTest::newRow("blank ends unquoted item") << "a b,c" << QStringList{"a", "b", "c"};
        QTest::newRow("unclosed quote runs to end") << "\"a,b" << QStringList{"a,b"};
        QTest::newRow("text after closing quote") << "\"ab\"cd,e" << QStringList{"ab", "cd", "e"};
        QTest::newRow("memo design") << "\"An error occurred while trying to access:\",%URL%:,,"
                                        "\"The error message was:\",\"%ERROR% \""
                                     << QStringList{"An error occurred while trying to access:", "%URL%:", "",
                                                    "The error message was:", "%ERROR% "};
    }
    void commaTextLoading() {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(fromCommaText(text), lines);
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settings_file.moc"
