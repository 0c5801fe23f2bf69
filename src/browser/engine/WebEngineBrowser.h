#pragma once

#include "browser/BrowserEngine.h"

class QWebEngineView;

// The page view on Qt WebEngine.
class WebEngineBrowser : public BrowserEngine {
public:
    explicit WebEngineBrowser(QWidget* parent);
    ~WebEngineBrowser() override;

    QWidget* widget() override;
    void load(const QString& url) override;
    void stop() override;
    void back() override;
    void forward() override;
    QString location() const override;

private:
    QWebEngineView* view_;
};
