#pragma once

#include <QList>
#include <QSslCertificate>

// The certificates a server's chain may end in: the system's, and in addition those named by
// SSL_CERT_FILE (a PEM bundle) and SSL_CERT_DIR (folders of PEM files, ":" between them), the
// way OpenSSL's own tools and curl take them, so a company's own authority can be added without
// touching the system.
class TrustStore {
public:
    // Read again whenever the two variables name something else than last time.
    static QList<QSslCertificate> certificates();
};
