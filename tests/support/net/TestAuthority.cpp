#include "support/net/TestAuthority.h"

#include <QFile>
#include <QProcess>

namespace {
// Small keys, quickly made: the tests make several of them on a busy machine.
const QStringList NewKey = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
} // namespace

bool TestAuthority::openssl(const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(dir_.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start("openssl", arguments);
    const bool done = process.waitForFinished(60000);
    output_ += QString::fromLocal8Bit(process.readAll());
    return done && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void TestAuthority::trustInThisProcess() {
    if (!trustedBefore_)
        trustedBefore_ = qgetenv("SSL_CERT_FILE");
    qputenv("SSL_CERT_FILE", certificate().toLocal8Bit());
}

TestAuthority::~TestAuthority() {
    if (trustedBefore_)
        qputenv("SSL_CERT_FILE", *trustedBefore_);
}

bool TestAuthority::create() {
    return openssl(QStringList{"req", "-x509"} + NewKey +
                   QStringList{"-keyout", "ca.key", "-out", "ca.pem", "-subj", "/CN=Korvane Test Authority",
                               "-days", "60"});
}

TestAuthority::Issued TestAuthority::next() {
    const QString name = dir_.filePath(QString("server%1").arg(++issued_));
    return {name + ".pem", name + ".key"};
}

TestAuthority::Issued TestAuthority::issue(const QStringList& names, int days) {
    const Issued files = next();
    const QString request = files.certificate + ".csr", extensions = files.certificate + ".ext";
    QFile ext(extensions);
    if (!ext.open(QIODevice::WriteOnly))
        return {};
    ext.write("basicConstraints=CA:FALSE\nsubjectAltName=" + names.join(',').toLatin1() + "\n");
    ext.close();
    const bool made =
        openssl(QStringList{"req", "-new"} + NewKey +
                QStringList{"-keyout", files.key, "-out", request, "-subj", "/CN=Korvane test server"}) &&
        openssl({"x509", "-req", "-in", request, "-CA", certificate(), "-CAkey", dir_.filePath("ca.key"),
                 "-set_serial", QString::number(1000 + issued_), "-days", QString::number(days), "-extfile",
                 extensions, "-out", files.certificate});
    return made ? files : Issued{};
}

TestAuthority::Issued TestAuthority::selfSigned(const QStringList& names) {
    const Issued files = next();
    const bool made =
        openssl(QStringList{"req", "-x509"} + NewKey +
                QStringList{"-keyout", files.key, "-out", files.certificate, "-subj",
                            "/CN=Korvane self-signed server", "-days", QString::number(ValidDays), "-addext",
                            "subjectAltName=" + names.join(',')});
    return made ? files : Issued{};
}
