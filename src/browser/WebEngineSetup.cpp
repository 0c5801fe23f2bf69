#include "browser/WebEngineSetup.h"

#include <QCoreApplication>
#include <unistd.h>

int& WebEngineSetup::beforeApplication(int& argc) {
    // The engine is loaded long after the application starts, when the user first browses; it
    // can only share its drawing contexts with the window if this is set beforehand.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The engine's sandbox refuses to start under root, and the browser would then stay blank.
    // Running as root gives up nothing the sandbox could still protect.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    return argc;
}
