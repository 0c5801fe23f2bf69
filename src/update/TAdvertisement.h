#pragma once

#include "update/AdImageEntryPoints.h"

#include <QLibrary>
#include <QPointer>
#include <QWidget>
#include <functional>

enum TAdImageSize { ad120x60 = 0, ad468x60 = 1 };
enum TAdFlag { adOfflineOnly = 1 };
Q_DECLARE_FLAGS(TAdFlagSet, TAdFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TAdFlagSet)

// A banner area. The banner library "adimage" draws into it and tells it, through two posted
// events, when a banner went on show and when one was clicked. With Sidebar set the area is
// 120 wider and, once started, its right 120 become a small banner of their own beside it.
class TAdvertisement : public QWidget {
    Q_OBJECT
public:
    static constexpr int WM_ADDISPLAY = AdImageDisplayNotice;
    static constexpr int WM_ADCLICK = AdImageClickNotice;

    // libraryFolder is where the library "adimage" is looked for.
    explicit TAdvertisement(const QString& libraryFolder, QWidget* parent = nullptr);
    ~TAdvertisement() override;

    TAdImageSize AdSize = ad468x60;
    bool AutoStart = true;
    TAdFlagSet Flags;
    bool Sidebar = true;
    qint32 SoftwareID = 0;
    qint32 Version = 0;
    std::function<void(TAdvertisement* sender)> OnClickThrough;
    std::function<void(TAdvertisement* sender)> OnAdChange;

    void GetAdSizeAsXY(int& width, int& height) const;
    void SetSize(TAdImageSize size);
    void SetSidebar(bool sidebar);
    // Places the control; the requested width picks the banner size and the sidebar.
    void SetBounds(int left, int top, int width, int height);

    // The window is built: start when AutoStart says so.
    void Loaded();
    // Starts the banner (and the sidebar banner); whether this control's own banner started.
    bool Execute();
    // 0xFFFF when the library took the banner and started it, else 0.
    quint16 Initialize(qint32 softwareId, qint32 version, qint32 sizeCode, TAdFlagSet flags);
    quint16 InitializeWindow(QWidget* window, qint32 softwareId, qint32 version, qint32 sizeCode,
                             TAdFlagSet flags);

    // The picture and the page the library shows instead of its own banner.
    void setBannerFiles(const QString& picturePath, const QString& pagePath);

protected:
    bool event(QEvent* event) override;

private:
    bool resolveEntryPoints();
    void applySize();
    void startSidebar();

    const QString libraryFolder_;
    // Never unloaded: Qt may still hold on to what the library made (its widgets' class data,
    // events queued for them) after the last control went, and unmapping the code under them
    // would crash. Kept simple and safe: the library stays until the program ends.
    QLibrary library_;
    AdImageInitialize initialize_ = nullptr;
    AdImageStartMessaging startMessaging_ = nullptr;
    bool started_ = false;
    QPointer<TAdvertisement> sidebar_;
};
