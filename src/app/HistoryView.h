#pragma once

#include "app/HistoryTab.h"
#include "history/HistoryReader.h"

#include <QObject>

class ActivityLog;
class DialogService;
class HistoryStore;
class PageRecords;
class QTabWidget;
class TDrawGrid;

// Fills the "History" tab from the history file: the page chosen in its box (at first the one
// selected in the status grid) over the chosen range. It reads when the tab comes into view, when
// the page or range changes, and after each cycle is written while the tab is in view.
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
    void fillOutages();

    Controls c_;
    PageRecords& pages_;
    HistoryStore& store_;
    ActivityLog& log_;
    DialogService& dialogs_;
    HistoryReader reader_;
    bool readerOpen_ = false;
};
