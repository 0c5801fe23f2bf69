#pragma once

#include <QSslConfiguration>

// What every TLS connection starts from: the certificates a server's chain may end in, checked
// against the peer, with sessions that may be resumed. The certificates are the system's, and in
// addition those named by SSL_CERT_FILE (a PEM bundle) and SSL_CERT_DIR (folders of PEM files,
// ":" between them), the way OpenSSL's own tools and curl take them, so a company's own
// authority can be added without touching the system.
class TrustStore {
public:
    // Built again whenever the two variables name something else than last time.
    static QSslConfiguration configuration();
};
