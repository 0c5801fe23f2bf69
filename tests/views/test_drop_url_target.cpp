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

struct Dropped {
    QString url, title, unreadable;
    bool operator==(const Dropped&) const = default;
};

// A widget taking drops through a URL target, with what the target handed to each drop.
struct Area {
    QWidget widget;
    TDropURLTarget target;
    QList<Dropped> drops;

    Area() {
        widget.setObjectName("Area");
        target.Register(&widget);
        target.OnDrop = [this] {
            drops.append({target.DroppedURL, target.DroppedTitle, target.DroppedUnreadable});
        };
    }

    // Enters and drops; the source's view: the action taken, or none when refused.
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

char* toString(const Dropped& d) {
    return QTest::toString(QStringList{d.url, d.title, d.unreadable}.join(" | "));
}

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

    QString path(const QString& name) const { return dir.filePath(name); }
    Formats fileDrop(const QString& name) const {
        return {{"text/uri-list", QUrl::fromLocalFile(path(name)).toEncoded() + "\r\n"}};
    }
    void write(const QString& name, const QByteArray& text) {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    }

private slots:
    void initTestCase() {
        write("Local Page.URL",
              "[DEFAULT]\r\nURL=http://wrong.invalid/\r\n[InternetShortcut]\r\nURL=http://127.0.0.1/e\r\n");
        write("Link F.desktop", "[Desktop Entry]\nName=F\nType=Link\nURL=http://127.0.0.1/f\n");
        write("app.desktop", "[Desktop Entry]\nType=Application\nURL=http://127.0.0.1/app\n");
        write("notes.txt", "[InternetShortcut]\nURL=http://127.0.0.1/notes\n");
    }

    void addressIsTakenFromTheFirstFormatThatHasOne_data() {
        QTest::addColumn<Formats>("formats");
        QTest::addColumn<Dropped>("expected");
        const QByteArray shortcut = "[InternetShortcut]\r\nURL=http://127.0.0.1/d\r\nIconIndex=0\r\n";
        QTest::newRow("browser link with title")
            << Formats{{"text/x-moz-url", utf16le("http://127.0.0.1/a\nPage A")}}
            << Dropped{"http://127.0.0.1/a", "Page A", ""};
        QTest::newRow("uri-list past comment and file")
            << Formats{{"text/uri-list", "# from a browser\r\nfile:///tmp/x.url\r\nhttp://127.0.0.1/b\r\n"}}
            << Dropped{"http://127.0.0.1/b", "http://127.0.0.1/b", ""};
        QTest::newRow("text up to its NUL")
            << Formats{{"text/plain", QByteArray("http://127.0.0.1/c\0junk", 23)}}
            << Dropped{"http://127.0.0.1/c", "http://127.0.0.1/c", ""};
        QTest::newRow("shortcut contents with CR LF")
            << Formats{{"application/x-mswinurl", shortcut}}
            << Dropped{"http://127.0.0.1/d", "http://127.0.0.1/d", ""};
        QTest::newRow(".url file") << fileDrop("Local Page.URL")
                                   << Dropped{"http://127.0.0.1/e", "Local Page", ""};
        QTest::newRow("desktop link")
            << fileDrop("Link F.desktop") << Dropped{"http://127.0.0.1/f", "Link F", ""};
        QTest::newRow("desktop entry not a link") << fileDrop("app.desktop") << Dropped{};
        QTest::newRow("other file") << fileDrop("notes.txt") << Dropped{};
        QTest::newRow("missing file") << fileDrop("gone.url") << Dropped{"", "", path("gone.url")};
        QTest::newRow("browser link before text")
            << Formats{{"text/plain", "http://127.0.0.1/text"},
                       {"text/x-moz-url", utf16le("http://127.0.0.1/a")}}
            << Dropped{"http://127.0.0.1/a", "http://127.0.0.1/a", ""};
        QTest::newRow("text before file")
            << (fileDrop("Link F.desktop")
                << qMakePair(QString("text/plain"), QByteArray("http://127.0.0.1/t")))
            << Dropped{"http://127.0.0.1/t", "http://127.0.0.1/t", ""};
    }
    void addressIsTakenFromTheFirstFormatThatHasOne() {
        QFETCH(Formats, formats);
        QFETCH(Dropped, expected);
        Area area;
        QCOMPARE(area.drag(formats, Qt::CopyAction | Qt::LinkAction),
                 std::make_pair(Qt::LinkAction, Qt::LinkAction));
        QCOMPARE(area.drops, QList<Dropped>{expected});
    }

    void theDropActionFollowsTheSourceAndTheKeys_data() {
        QTest::addColumn<Qt::DropActions>("taken");
        QTest::addColumn<Qt::DropActions>("offered");
        QTest::addColumn<Qt::KeyboardModifiers>("keys");
        QTest::addColumn<QString>("format");
        QTest::addColumn<Qt::DropAction>("expected");
        const Qt::DropActions all = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        const Qt::KeyboardModifiers none;
        QTest::newRow("link offered")
            << Qt::DropActions(Qt::LinkAction) << all << none << "text/plain" << Qt::LinkAction;
        QTest::newRow("copy and move only")
            << Qt::DropActions(Qt::LinkAction) << (Qt::CopyAction | Qt::MoveAction) << none << "text/plain"
            << Qt::CopyAction;
        QTest::newRow("move only") << Qt::DropActions(Qt::LinkAction) << Qt::DropActions(Qt::MoveAction)
                                   << none << "text/plain" << Qt::IgnoreAction;
        QTest::newRow("no usable format")
            << Qt::DropActions(Qt::LinkAction) << all << none << "image/png" << Qt::IgnoreAction;
        QTest::newRow("shift and ctrl link")
            << all << all << (Qt::ShiftModifier | Qt::ControlModifier) << "text/plain" << Qt::LinkAction;
        QTest::newRow("shift moves") << all << all << Qt::KeyboardModifiers(Qt::ShiftModifier) << "text/plain"
                                     << Qt::MoveAction;
        QTest::newRow("copy first") << all << all << none << "text/plain" << Qt::CopyAction;
        QTest::newRow("move before link")
            << all << (Qt::MoveAction | Qt::LinkAction) << none << "text/plain" << Qt::MoveAction;
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
        QVERIFY(!other.isRegistered());
        QCOMPARE(area.drag({{"text/plain", "http://127.0.0.1/"}}, Qt::LinkAction).second, Qt::LinkAction);

        area.target.Unregister();
        QVERIFY(!area.widget.acceptDrops());
        other.Register(&area.widget);
        QVERIFY(area.widget.acceptDrops());
        // Something else took the widget's registration away.
        area.widget.setProperty(TDropTarget::OwnerProperty, QVariant());
        QCOMPARE(failureOf([&] { other.Unregister(); }), QString("Failed to Unregister Area"));
        QVERIFY(!other.control());
        QCOMPARE(failureOf([&] { other.Unregister(); }), QString());
    }
};

QTEST_MAIN(TestDropUrlTarget)
#include "test_drop_url_target.moc"
