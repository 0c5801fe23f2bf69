#pragma once

#include <QObject>
#include <QString>
#include <functional>

class DialogService;
class IniFile;
class QLineEdit;
class QTabWidget;
class QTimer;
class QWidget;
class TAdvertisement;
class TNMHTTP;

// Once per run, at the banner's first display notice: fetch the maker's root file and act on
// it. It may announce a newer version, show the "Browser" tab, fetch the banner's page and
// picture, set the banner's software id and choose the start page of the "Web Browser" tab.
class UpdateCheck : public QObject {
    Q_OBJECT
public:
    struct Controls {
        TNMHTTP* NMHTTPback;
        TAdvertisement* Advertisement1;
        QTabWidget* PageControl1;
        QWidget* TabSheetRoot;
        QLineEdit* EditRootTo;
        QTimer* TimerHTML1;
        QLineEdit* EditBrowseTo;
    };
    struct Calls {
        std::function<void()> BrowseToExecute;
        std::function<void()> ButtonBrowseGoClick;
        std::function<void()> GoHomeWebBrowser2;
    };
    struct Settings {
        QString versionTag;
        // The folder of the settings file, which receives the downloads.
        QString folder;
        // The full address of the root file; empty turns the check off.
        QString rootAddress;
    };

    UpdateCheck(const Controls& controls, Calls calls, Settings settings, DialogService& dialogs,
                QObject* parent = nullptr);

    // The root file's address: the environment variable KORVANE_UPDATE_ROOT when it is set,
    // otherwise the address the program was built with.
    static QString configuredRootAddress();

    void Advertisement1AdChange();
    // Ends a download under way and everything after it; the window is closing.
    void stop();

private:
    bool download(const QString& url, const QString& target, qint64 longest);
    void versionGroup(const IniFile& ini);
    void defaultPageGroup(const IniFile& ini);
    void defaultPictureGroup(const IniFile& ini);
    void startPageGroup(const IniFile& ini);
    void setRootTab(bool visible, const QString& caption);
    QString file(const QString& name) const;

    Controls c_;
    Calls calls_;
    Settings settings_;
    DialogService& dialogs_;
    bool firstRun_ = true;
    bool stopped_ = false;
};
