#pragma once

#include <QStringList>
#include <QTemporaryDir>
#include <optional>

// A certificate authority of the test's own, and server certificates, made by the openssl
// command in a temporary folder: signed by the authority for given names, expired, or signed by
// nobody but themselves.
class TestAuthority {
public:
    struct Issued {
        QString certificate; // PEM files
        QString key;
    };

    // Makes the authority; false when openssl fails (output() says why).
    bool create();
    QString certificate() const { return dir_.filePath(QStringLiteral("ca.pem")); }
    // Far enough away that no certificate warning is due.
    static constexpr int ValidDays = 30;

    // A certificate for the names ("DNS:localhost", "IP:127.0.0.1"), signed by the authority and
    // valid from now for the days; a negative number gives one that ended before it began. Empty
    // file names when openssl fails.
    Issued issue(const QStringList& names, int days = ValidDays);
    Issued selfSigned(const QStringList& names);
    QString output() const { return output_; }

    // Makes this process trust the authority, through SSL_CERT_FILE, until the authority goes;
    // then what the process trusted before comes back.
    void trustInThisProcess();
    ~TestAuthority();

private:
    bool openssl(const QStringList& arguments);
    // A new key and the name of the files for it.
    Issued next();

    QTemporaryDir dir_;
    QString output_;
    std::optional<QByteArray> trustedBefore_;
    int issued_ = 0;
};
