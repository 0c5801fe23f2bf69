#include "net/AddressLogin.h"

#include <QUrl>

AddressLogin splitLogin(const QString& address) {
    // Asked for every row the grid paints: most addresses hold no login at all.
    if (!address.contains(QLatin1Char('@')))
        return {address, {}, {}};
    QUrl url(address);
    AddressLogin login{address, url.userName(), url.password()};
    if (!login.password.isEmpty()) {
        url.setPassword(QString());
        login.address = url.toString();
    }
    return login;
}
