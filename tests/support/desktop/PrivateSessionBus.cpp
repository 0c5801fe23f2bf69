#include "support/desktop/PrivateSessionBus.h"

#include <QFile>

namespace {

// The system's session configuration would start any service installed on this machine.
constexpr char Config[] = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

} // namespace

PrivateSessionBus::~PrivateSessionBus() {
    if (daemon_.state() == QProcess::NotRunning)
        return;
    daemon_.terminate();
    daemon_.waitForFinished();
}

bool PrivateSessionBus::start() {
    QFile config(dir_.filePath(QStringLiteral("session.conf")));
    if (!config.open(QIODevice::WriteOnly) ||
        config.write(QString::fromLatin1(Config).arg(dir_.filePath(QStringLiteral("bus"))).toUtf8()) < 0)
        return false;
    config.close();
    // Why the daemon could not start goes to the test's output.
    daemon_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--print-address"),
                   QStringLiteral("--nofork")});
    while (!daemon_.canReadLine()) {
        if (!daemon_.waitForReadyRead())
            return false;
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    return !address_.isEmpty();
}
