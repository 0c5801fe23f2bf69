#pragma once

#include "net/THeaderInfo.h"

#include <QString>

// One request of a page check: where it goes, how, and the settings it is made with.
struct FetchRequest {
    QString url;
    // A GET of which only the response header is read, for servers that refuse HEAD.
    bool headerByGet = false;
    QString proxy; // empty: straight to the page's server
    qint32 proxyPort = 0;
    bool acceptUntrusted = false;
    THeaderInfo headerInfo;
};
