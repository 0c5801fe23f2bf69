#pragma once

#include "app/HistoryTab.h"
#include "history/HistoryLoader.h"

#include <QObject>

class ActivityLog;
class DialogService;
class HistoryStore;
class PageRecords;
class QTabWidget;
class TDrawGrid;

// Fills the "History" tab from the history file: the page chosen in its box (at first the one
// selected in the status grid) over the chosen range. It reads when the tab comes into view, when
// the page or range changes, and after the file is opened and each cycle is written while the tab
// is in view. Reading and exporting happen off the window's thread; the tab says meanwhile that
// they are under way, and afterwards why one failed.
class HistoryView : public QObject {
    Q_OBJECT
public:
    struct Controls {
        HistoryTab tab;
        QTabWidget* PageControl1;
        TDrawGrid* DrawGrid1;
    };

    HistoryView(const Controls& controls, PageRecords& pages, HistoryStore& store, ActivityLog& log,
                DialogService& dialogs, QObject* parent = nullptr);

    void TabSheetHistoryShow();
    void refresh();
    void ButtonExportHistoryClick();

private:
    qint64 rangeMs() const;
    void show(HistorySeries series, const QString& failure);
    void fillOutages();
    void exported(const QString& file, const QString& failure);
    void showState();

    Controls c_;
    PageRecords& pages_;
    HistoryStore& store_;
    ActivityLog& log_;
    DialogService& dialogs_;
    HistoryLoader loader_;
    // The read whose answer is awaited (0: none); an answer to one asked before it is out of date.
    int latestRead_ = 0;
    bool reading_ = false;
    int exports_ = 0;
    QString readFailure_;
};
