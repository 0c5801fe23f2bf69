#pragma once

#include <QWidget>
#include <memory>

class BrowserEngine;
class QLabel;

// The page area of a browser tab. The web engine behind it starts browser processes of its own
// and takes a good deal of memory, so it is only loaded at the first navigation; until then the
// control is an empty area that answers as an idle browser without a page. A program that
// never browses never pays for it.
class TWebBrowser : public QWidget {
    Q_OBJECT
public:
    // The numbers of the history commands in CommandStateChange.
    enum Command { NavigateForward = 1, NavigateBack = 2 };

    explicit TWebBrowser(QWidget* parent = nullptr);
    ~TWebBrowser() override;

    // The address text is passed on unchanged: no scheme is added and nothing is trimmed, so
    // a mistyped address shows the engine's own error page.
    void Navigate(const QString& url);
    void Stop();
    void GoBack();
    void GoForward();
    // The home page is an empty page: the program has no site of its own to show, and going
    // home must not load the engine when nothing has been browsed yet.
    void GoHome();

    bool Busy() const { return busy_; }
    QString LocationURL() const;
    bool created() const { return engine_ != nullptr; }

signals:
    void CommandStateChange(int command, bool enable);
    void DocumentComplete();
    // The busy flag changed: a load started, finished or was stopped.
    void BusyChange(bool busy);

private:
    BrowserEngine* engine();
    void setBusy(bool busy);

    std::unique_ptr<BrowserEngine> engine_;
    QLabel* unavailable_ = nullptr;
    bool busy_ = false;
};
