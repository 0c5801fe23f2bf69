#pragma once

#include "service/MetricsService.h"

#include <QString>
#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <variant>

class QIODevice;
class SecretStore;

// What the command line gives a monitor, with or without a window.
struct ServiceOptions {
    QString settingsFile;     // absolute
    QString secretsFile;      // --secrets; empty: the desktop's secret store
    QString metricsEndpoint;  // --metrics; empty: the settings' "Serve metrics on"
    QString metricsTokenFile; // --metrics-token-file; empty: the settings' "Metrics token"
};

// The options with what a service manager hands over as credentials (the files "secrets" and
// "metrics-token" in credentialsFolder, $CREDENTIALS_DIRECTORY) where the command line names none.
// A credential of blanks only stands for none: a unit's default where the admin keeps no file.
ServiceOptions withCredentials(ServiceOptions options, const QString& credentialsFolder);

// Where a program without a desktop finds its secrets: the file given, or else the desktop's
// secret store where a session bus is reachable, or else nowhere (every secret is missing). Or why
// the file is refused.
std::variant<std::unique_ptr<SecretStore>, QString> serverSecretStore(const ServiceOptions& options);

// The command line's metrics address and token, or why the token file is refused.
std::variant<MetricsService::Overrides, QString> metricsOverrides(const ServiceOptions& options);

// Hands standard output to write, and returns why writing failed: what write says, or what only
// showed when the output was flushed (a full disk). Empty when everything went out.
QString toStandardOutput(const std::function<QString(QIODevice&)>& write);

// What an exception says of itself.
QString errorText(std::exception_ptr error);

// Writes the line and a line end to the stream at once, so a service manager's journal has it
// even if the program is killed next.
void printLine(FILE* stream, const QString& line);
