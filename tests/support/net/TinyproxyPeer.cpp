#include "support/net/TinyproxyPeer.h"

bool TinyproxyPeer::start() {
    const QString config =
        writeConfig(QStringLiteral("tinyproxy.conf.in"), QStringLiteral("User root\nGroup root"));
    return launch(QStringLiteral("tinyproxy"), {QStringLiteral("-d"), QStringLiteral("-c"), config});
}
