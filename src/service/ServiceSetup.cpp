#include "service/ServiceSetup.h"

#include "notify/KeychainSecretStore.h"
#include "service/FileSecretStore.h"
#include "service/OwnerOnlyFile.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

const QString SecretsCredential = QStringLiteral("secrets");
const QString MetricsTokenCredential = QStringLiteral("metrics-token");

// The credential's file, unless there is none or it holds nothing but blanks. One that cannot be
// read is named all the same, so that the reader says why.
QString credentialFile(const QString& folder, const QString& name) {
    QFile file(QDir(folder).filePath(name));
    if (!file.exists() || (file.open(QIODevice::ReadOnly) && file.readAll().trimmed().isEmpty()))
        return {};
    return file.fileName();
}

// No secret service to ask: every read goes unanswered.
class NoSecretStore : public SecretStore {
public:
    void read(const QString&, ReadAnswer answer) override { answer(false, {}); }
    void write(const QString&, const QString&, Answer answer) override { answer(false); }
    void remove(const QString&, Answer answer) override { answer(false); }
};

} // namespace

ServiceOptions withCredentials(ServiceOptions options, const QString& credentialsFolder) {
    if (credentialsFolder.isEmpty())
        return options;
    if (options.secretsFile.isEmpty())
        options.secretsFile = credentialFile(credentialsFolder, SecretsCredential);
    if (options.metricsTokenFile.isEmpty())
        options.metricsTokenFile = credentialFile(credentialsFolder, MetricsTokenCredential);
    return options;
}

std::variant<std::unique_ptr<SecretStore>, QString> serverSecretStore(const ServiceOptions& options) {
    if (options.secretsFile.isEmpty()) {
        if (QDBusConnection::sessionBus().isConnected())
            return std::make_unique<KeychainSecretStore>();
        return std::make_unique<NoSecretStore>();
    }
    const auto text = readOwnerOnlyFile(options.secretsFile);
    if (const QString* refused = std::get_if<QString>(&text))
        return QStringLiteral("Secrets file refused: ") + *refused;
    auto secrets = FileSecretStore::parse(std::get<QByteArray>(text));
    if (const QString* wrong = std::get_if<QString>(&secrets))
        return QStringLiteral("Secrets file refused: %1: %2").arg(options.secretsFile, *wrong);
    return std::make_unique<FileSecretStore>(std::get<QStringList>(std::move(secrets)), options.settingsFile);
}

std::variant<MetricsService::Overrides, QString> metricsOverrides(const ServiceOptions& options) {
    MetricsService::Overrides overrides{options.metricsEndpoint, std::nullopt};
    if (options.metricsTokenFile.isEmpty())
        return overrides;
    const auto text = readOwnerOnlyFile(options.metricsTokenFile);
    if (const QString* refused = std::get_if<QString>(&text))
        return QStringLiteral("Metrics token file refused: ") + *refused;
    const QByteArray token = std::get<QByteArray>(text).split('\n').constFirst().trimmed();
    if (token.isEmpty())
        return QStringLiteral("Metrics token file refused: %1 holds no token").arg(options.metricsTokenFile);
    overrides.token = token;
    return overrides;
}

QString toStandardOutput(const std::function<QString(QIODevice&)>& write) {
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return out.errorString();
    if (QString failure = write(out); !failure.isEmpty())
        return failure;
    // Buffered bytes meet a full disk only here.
    return out.flush() && out.error() == QFileDevice::NoError ? QString() : out.errorString();
}

QString errorText(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& what) {
        return QString::fromUtf8(what.what());
    } catch (...) {
        return QStringLiteral("unknown error");
    }
}

void printLine(FILE* stream, const QString& line) {
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stream);
    std::fflush(stream);
}
