#include "net/SocketLibrary.h"

#include <limits>
#include <sys/resource.h>

QStringList socketLibraryDescription() {
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    const auto maxSockets = files.rlim_cur == RLIM_INFINITY ? qulonglong(std::numeric_limits<int>::max())
                                                            : qulonglong(files.rlim_cur);
    return {QStringLiteral("Version= 1.1"),
            QStringLiteral("High Version= 1.1"),
            QStringLiteral("Description= Qt Network %1").arg(QString::fromLatin1(qVersion())),
            QStringLiteral("System= Running"),
            QStringLiteral("Max Sockets= %1").arg(maxSockets),
            QStringLiteral("Max Udp pack size= 65507")};
}
