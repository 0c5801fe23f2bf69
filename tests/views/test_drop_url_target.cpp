// The URL drop target over real drag data: the address taken out of each format, the drop
// action answered to the source, and who may register a widget.
#include "views/TDropURLTarget.h"

#include <QDropEvent>
#include <QMimeData>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

using Formats = QList<QPair<QString, QByteArray>>;

// A widget taking drops through a URL target, with the address, title and unreadable file
// the target handed to each drop.
struct Area {
    QWidget widget;
    TDropURLTarget target;
    QList<QStringList> drops;

    Area() {
        widget.setObjectName("Area");
        target.Register(&widget);
        target.OnDrop = [this] {
            drops.append({target.DroppedURL, target.DroppedTitle, target.DroppedUnreadable});
        };
    }

    // Enters and drops; the action answered to each, none when refused.
    std::pair<Qt::DropAction, Qt::DropAction> drag(const Formats& formats, Qt::DropActions offered,
                                                   Qt::KeyboardModifiers keys = {}) {
        QMimeData data;
        for (const auto& [format, bytes] : formats)
            data.setData(format, bytes);
        QDragEnterEvent enter(QPoint(5, 5), offered, &data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(&widget, &enter);
        QDropEvent drop(QPointF(5, 5), offered, &data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(&widget, &drop);
        return {enter.isAccepted() ? enter.dropAction() : Qt::IgnoreAction,
                drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction};
    }
};

QByteArray utf16le(const QString& text) {
    QStringEncoder encoder(QStringConverter::Utf16LE);
    return encoder(text);
}

QString failureOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    }
    return {};
}

} // namespace

class TestDropUrlTarget : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    Formats fileDrop(const QString& name) const {
        return {{"text/uri-list", QUrl::fromLocalFile(dir.filePath(name)).toEncoded() + "\r\n"}};
    }

private slots:
    void initTestCase() {
        const QList<QPair<QString, QByteArray>> files{
            {"Local Page.URL",
             "[DEFAULT]\r\nURL=http://wrong.invalid/\r\n[InternetShortcut]\r\nURL=http://127.0.0.1/e\r\n"},
            {"Link F.desktop", "[Desktop Entry]\nName=F\nType=Link\nURL=http://127.0.0.1/f\n"},
            {"app.desktop", "[Desktop Entry]\nType=Application\nURL=http://127.0.0.1/app\n"},
            {"notes.txt", "[InternetShortcut]\nURL=http://127.0.0.1/notes\n"}};
        for (const auto& [name, text] : files) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        }
    }

    void addressIsTakenFromTheFirstFormatThatHasOne_data() {
        QTest::addColumn<Formats>("formats");
        QTest::addColumn<QStringList>("dropped");
        const QString a = "http://127.0.0.1/a", t = "http://127.0.0.1/t";
        QTest::newRow("browser link with title")
            << Formats{{"text/x-moz-url", utf16le(a + "\nPage A")}} << QStringList{a, "Page A", ""};
        QTest::newRow("uri-list past comment and file")
            << Formats{{"text/uri-list", "# from a browser\r\nfile:///tmp/x.url\r\nhttp://127.0.0.1/b\r\n"}}
            << QStringList{"http://127.0.0.1/b", "http://127.0.0.1/b", ""};
        QTest::newRow("text up to its NUL")
            << Formats{{"text/plain", QByteArray("http://127.0.0.1/c\0junk", 23)}}
            << QStringList{"http://127.0.0.1/c", "http://127.0.0.1/c", ""};
        QTest::newRow("shortcut contents with CR LF")
            << Formats{{"application/x-mswinurl",
                        "[InternetShortcut]\r\nURL=http://127.0.0.1/d\r\nIconIndex=0\r\n"}}
            << QStringList{"http://127.0.0.1/d", "http://127.0.0.1/d", ""};
        QTest::newRow(".url file") << fileDrop("Local Page.URL")
                                   << QStringList{"http://127.0.0.1/e", "Local Page", ""};
        QTest::newRow("desktop link")
            << fileDrop("Link F.desktop") << QStringList{"http://127.0.0.1/f", "Link F", ""};
        QTest::newRow("desktop entry not a link") << fileDrop("app.desktop") << QStringList{"", "", ""};
        QTest::newRow("other file") << fileDrop("notes.txt") << QStringList{"", "", ""};
        QTest::newRow("missing file")
            << fileDrop("gone.url") << QStringList{"", "", dir.filePath("gone.url")};
        QTest::newRow("browser link before text")
            << Formats{{"text/plain", t.toUtf8()}, {"text/x-moz-url", utf16le(a)}} << QStringList{a, a, ""};
        QTest::newRow("text before file")
            << fileDrop("Link F.desktop") + Formats{{"text/plain", t.toUtf8()}} << QStringList{t, t, ""};
    }
    void addressIsTakenFromTheFirstFormatThatHasOne() {
        QFETCH(Formats, formats);
        QFETCH(QStringList, dropped);
        Area area;
        QCOMPARE(area.drag(formats, Qt::CopyAction | Qt::LinkAction),
                 std::make_pair(Qt::LinkAction, Qt::LinkAction));
        QCOMPARE(area.drops, QList<QStringList>{dropped});
    }

    void theDropActionFollowsTheSourceAndTheKeys_data() {
        QTest::addColumn<Qt::DropActions>("taken");
        QTest::addColumn<Qt::DropActions>("offered");
        QTest::addColumn<Qt::KeyboardModifiers>("keys");
        QTest::addColumn<QString>("format");
        QTest::addColumn<Qt::DropAction>("expected");
        const Qt::DropActions link = Qt::LinkAction, all = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        const Qt::KeyboardModifiers none;
        QTest::newRow("link offered") << link << all << none << "text/plain" << Qt::LinkAction;
        QTest::newRow("copy and move only")
            << link << (Qt::CopyAction | Qt::MoveAction) << none << "text/plain" << Qt::CopyAction;
        QTest::newRow("move only") << link << Qt::DropActions(Qt::MoveAction) << none << "text/plain"
                                   << Qt::IgnoreAction;
        QTest::newRow("no usable format") << link << all << none << "image/png" << Qt::IgnoreAction;
        QTest::newRow("shift and ctrl link")
            << all << all << (Qt::ShiftModifier | Qt::ControlModifier) << "text/plain" << Qt::LinkAction;
        QTest::newRow("shift moves") << all << all << Qt::KeyboardModifiers(Qt::ShiftModifier) << "text/plain"
                                     << Qt::MoveAction;
    }
    void theDropActionFollowsTheSourceAndTheKeys() {
        QFETCH(Qt::DropActions, taken);
        QFETCH(Qt::DropActions, offered);
        QFETCH(Qt::KeyboardModifiers, keys);
        QFETCH(QString, format);
        QFETCH(Qt::DropAction, expected);
        Area area;
        area.target.Dragtypes = taken;
        QCOMPARE(area.drag({{format, "http://127.0.0.1/"}}, offered, keys),
                 std::make_pair(expected, expected));
        QCOMPARE(area.drops.size(), expected == Qt::IgnoreAction ? 0 : 1);
    }

    void aWidgetHasOneDropTargetAtATime() {
        Area area;
        TDropURLTarget other;
        area.target.Register(&area.widget);
        QCOMPARE(failureOf([&] { other.Register(&area.widget); }), QString("Failed to Register Area"));
        QCOMPARE(area.drag({{"text/plain", "http://127.0.0.1/"}}, Qt::LinkAction).second, Qt::LinkAction);

        area.target.Unregister();
        other.Register(&area.widget);
        // Something else took the widget's registration away.
        area.widget.setProperty(TDropTarget::OwnerProperty, QVariant());
        QCOMPARE(failureOf([&] { other.Unregister(); }), QString("Failed to Unregister Area"));
        QVERIFY(!other.isRegistered() && !other.control());
    }
};

QTEST_MAIN(TestDropUrlTarget)
#include "test_drop_url_target.moc"
