// The tray icon component offscreen: what the tray is told and when, the record it is given, and
// the reactions to mouse events on the icon.
#include "views/TWinTaskbar.h"
#include "views/TrayPictures.h"

#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QTest>
#include <QWidget>

#include <memory>

namespace {

QIcon solidIcon(const QColor& colour) {
    QPixmap picture(32, 32);
    picture.fill(colour);
    return QIcon(picture);
}

struct UserEventCounter : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::User)
            ++count;
        return false;
    }
};

struct Fixture {
    QWidget owner;
    QList<std::pair<NotifyIconMessage, qint64>> calls;
    int clicks = 0;
    UserEventCounter userEvents;
    // Last, so it goes first: its destructor still reports to calls.
    std::unique_ptr<TWinTaskbar> tray = std::make_unique<TWinTaskbar>(&owner);

    Fixture() {
        tray->OnShellNotify = [this](NotifyIconMessage m, const TNotifyIconData& d) {
            calls.append({m, d.hIcon});
        };
        tray->OnClick = [this] { ++clicks; };
        owner.installEventFilter(&userEvents);
    }
};

} // namespace

class TestWinTaskbar : public QObject {
    Q_OBJECT
private slots:
    void theTrayIsToldToAddModifyOrDelete() {
        Fixture f;
        const QIcon program(TrayPictures::programIcon());
        const QIcon helmet = solidIcon(Qt::green);
        f.tray->setHint("Korvane");
        f.tray->setIcon(program);
        QCOMPARE(f.calls, (QList<std::pair<NotifyIconMessage, qint64>>{{NotifyIconMessage::Delete, 0},
                                                                       {NotifyIconMessage::Delete, 0}}));
        f.calls.clear();
        f.tray->setShowIcon(true);
        f.tray->setIcon(helmet);
        f.tray->setHint("Korvane"); // unchanged: the tray is left alone
        f.tray->setHint("Korvane checking");
        QCOMPARE(f.calls, (QList<std::pair<NotifyIconMessage, qint64>>{
                              {NotifyIconMessage::Add, program.cacheKey()},
                              {NotifyIconMessage::Modify, helmet.cacheKey()},
                              {NotifyIconMessage::Modify, helmet.cacheKey()}}));
        QVERIFY(program.cacheKey() != 0 && helmet.cacheKey() != program.cacheKey());
        QCOMPARE(f.tray->trayIcon()->toolTip(), QString("Korvane checking"));

        f.calls.clear();
        f.tray->setIcon(QIcon()); // an empty picture takes the icon out
        f.tray->setIcon(helmet);  // and a picture while shown puts it back in
        f.tray->setShowIcon(false);
        QCOMPARE(f.calls,
                 (QList<std::pair<NotifyIconMessage, qint64>>{{NotifyIconMessage::Delete, 0},
                                                              {NotifyIconMessage::Add, helmet.cacheKey()},
                                                              {NotifyIconMessage::Delete, 0}}));
        QCOMPARE(f.tray->notifyIconData().hIcon, 0);

        f.tray->setShowIcon(true);
        f.calls.clear();
        f.tray.reset();
        QCOMPARE(f.calls, (QList<std::pair<NotifyIconMessage, qint64>>{{NotifyIconMessage::Delete, 0}}));
    }

    void theRecordCarriesTheFixedFieldsAndACutTip() {
        Fixture f;
        const TNotifyIconData& d = f.tray->notifyIconData();
        QCOMPARE(d.cbSize, 88u);
        QCOMPARE(d.uFlags, 7u);
        QCOMPARE(d.uCallbackMessage, 1147u);
        QCOMPARE(d.uID, 0u);
        QVERIFY(d.hWnd != 0);
        QCOMPARE(sizeof(d.szTip), size_t(64));

        const QString longHint = QString("0123456789").repeated(7);
        f.tray->setHint(longHint);
        QCOMPARE(f.tray->hint(), longHint);
        QCOMPARE(QByteArray(d.szTip.data()), longHint.left(63).toLatin1());
        QCOMPARE(d.szTip[63], '\0');
        f.tray->setShowIcon(true);
        f.tray->setIcon(solidIcon(Qt::red));
        QCOMPARE(f.tray->trayIcon()->toolTip(), longHint.left(63));
        f.tray->setHint("Short");
        QCOMPARE(QByteArray(d.szTip.data()), QByteArray("Short"));
        QCOMPARE(f.tray->property("Hint").toString(), QString("Short"));
    }

    void clicksAndDoubleClicks() {
        {
            // No double-click handler: the second press of a double click is one more click.
            Fixture f;
            f.tray->trayActivated(QSystemTrayIcon::Trigger);
            QCOMPARE(f.clicks, 1);
            f.tray->trayActivated(QSystemTrayIcon::DoubleClick);
            QCOMPARE(f.clicks, 2);
            QVERIFY(!f.tray->doubleClickPending());
        }
        {
            Fixture f;
            QList<QString> order;
            f.tray->OnClick = [&] { order.append("click"); };
            f.tray->OnDblClick = [&] { order.append("double"); };
            f.tray->trayActivated(QSystemTrayIcon::Trigger);
            f.tray->trayActivated(QSystemTrayIcon::DoubleClick);
            QCOMPARE(order, (QList<QString>{"click", "double"}));
            QVERIFY(!f.tray->doubleClickPending());
            // The release after a double click is swallowed exactly once.
            f.tray->trayMouseMessage(TrayMouseMessage::RightButtonDblClk);
            QVERIFY(f.tray->doubleClickPending());
            f.tray->trayMouseMessage(TrayMouseMessage::LeftButtonUp);
            f.tray->trayMouseMessage(TrayMouseMessage::LeftButtonUp);
            QCOMPARE(order, (QList<QString>{"click", "double", "double", "click"}));
        }
        {
            Fixture f;
            int downs = 0;
            int moves = 0;
            f.tray->OnMouseDown = [&](Qt::MouseButton b, const QPoint&) { downs += b == Qt::LeftButton; };
            f.tray->OnMouseMove = [&](const QPoint&) { ++moves; };
            f.tray->trayMouseMessage(TrayMouseMessage::MouseMove);
            f.tray->trayActivated(QSystemTrayIcon::MiddleClick);
            f.tray->trayMouseMessage(TrayMouseMessage::RightButtonUp);
            f.tray->trayMouseMessage(TrayMouseMessage::MiddleButtonDblClk); // no handler: nothing
            f.tray->trayMouseMessage(TrayMouseMessage::LeftButtonDown);
            QCOMPARE(moves, 1);
            QCOMPARE(downs, 1);
            QCOMPARE(f.clicks, 0);
            QVERIFY(!f.tray->doubleClickPending());
        }
    }

    void aClickBringsTheOwnerWindowForward() {
        Fixture f;
        QWidget other;
        f.owner.show();
        other.show();
        other.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &other);
        f.tray->trayActivated(QSystemTrayIcon::Trigger);
        QCOMPARE(f.clicks, 1);
        QTRY_COMPARE(QApplication::activeWindow(), &f.owner);
    }

    void aRightClickShowsTheMenuAndTellsTheOwner() {
        Fixture f;
        f.owner.show();
        f.tray->trayActivated(QSystemTrayIcon::Context); // no menu: nothing at all
        QCoreApplication::sendPostedEvents();
        QCOMPARE(f.userEvents.count, 0);

        auto* menu = new QMenu;
        menu->addAction("Restore");
        f.tray->setPopUpMenu(menu);
        f.tray->trayActivated(QSystemTrayIcon::Context);
        QVERIFY(menu->isVisible());
        QTRY_COMPARE(f.userEvents.count, 1);
        QCOMPARE(f.clicks, 0);

        delete menu;
        QCOMPARE(f.tray->popUpMenu(), nullptr);
        f.tray->trayActivated(QSystemTrayIcon::Context);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(f.userEvents.count, 1);
    }
};

QTEST_MAIN(TestWinTaskbar)
#include "test_win_taskbar.moc"
