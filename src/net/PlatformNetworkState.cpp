#include "net/PlatformNetworkState.h"

#include <QNetworkInformation>

bool PlatformNetworkState::offline() {
    // The backend is loaded on first use, once for the program: most runs never need it.
    static const bool loaded = QNetworkInformation::loadDefaultBackend();
    const QNetworkInformation* info = loaded ? QNetworkInformation::instance() : nullptr;
    return info && info->reachability() == QNetworkInformation::Reachability::Disconnected;
}
