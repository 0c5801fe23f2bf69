#pragma once

#include "net/HeaderLines.h"
#include "net/THeaderInfo.h"

#include <QString>

// One HTTP request: where it goes, how, and the settings it is made with.
struct FetchRequest {
    QString url;
    // GET instead of HEAD; unless readBody, only the response header is read, for servers that
    // refuse HEAD.
    bool headerByGet = false;
    // The body too, as it arrives, until the server closes.
    bool readBody = false;
    QString proxy; // empty: straight to the page's server
    qint32 proxyPort = 0;
    bool acceptUntrusted = false;
    THeaderInfo headerInfo;
    QList<HeaderLine> extraHeaders;
    QByteArray send; // a probe's text to send once connected (tcp)
};
