#include "views/AddressDrop.h"

#include "views/TDropURLTarget.h"
#include "views/TStatusBar.h"

#include <QLineEdit>
#include <QTabWidget>
#include <QUrl>

namespace {

// Browsers and servers stop at about this length; a longer text is something else dropped.
constexpr qsizetype LongestAddress = 2048;
// The status bar shows no more of a refused text.
constexpr qsizetype ShownLength = 60;

bool isWebAddress(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) &&
           !url.host().isEmpty();
}

// Why the dropped data gives no page to add; empty when address can be added.
QString refusal(const TDropURLTarget& dropped, const QString& address) {
    if (dropped.DroppedURL.isEmpty()) {
        return dropped.DroppedUnreadable.isEmpty()
                   ? QStringLiteral("No address in the dropped data")
                   : QStringLiteral("Cannot read ") + dropped.DroppedUnreadable;
    }
    if (address.size() > LongestAddress)
        return QStringLiteral("The dropped text is too long to be an address");
    if (!isWebAddress(address))
        return QStringLiteral("Not a web address: ") + address.left(ShownLength);
    return {};
}

} // namespace

AddressDrop::AddressDrop(const Controls& controls, std::function<void()> addPage)
    : c_(controls), addPage_(std::move(addPage)) {}

void AddressDrop::DropURLTarget1DragOver() {
    c_.PageControl1->setCurrentWidget(c_.TabSheetWebPages);
}

void AddressDrop::DropURLTarget1Drop() {
    c_.PageControl1->setCurrentWidget(c_.TabSheetWebPages);
    // The line break that ends a shortcut's address line does not belong to the address.
    const QString address = c_.DropURLTarget1->DroppedURL.trimmed();
    const QString problem = refusal(*c_.DropURLTarget1, address);
    if (!problem.isEmpty()) {
        c_.StatusBar1->setSimpleText(problem);
        return;
    }
    c_.EditURL->setText(address);
    addPage_();
}
