#include "browser/WebEngineSetup.h"

#include <QCoreApplication>
#include <unistd.h>

namespace {

QtMessageHandler toolkitHandler = nullptr;

// Without a GL integration the shared context cannot be made, and the toolkit says so once at
// the start. That is how we want it, so it is not worth a line on the console.
void withoutNoGlNotice(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg &&
        message.startsWith(QLatin1String("QXcbIntegration: Cannot create platform OpenGL context")))
        return;
    toolkitHandler(type, context, message);
}

void setUnlessSet(const char* name, const char* value) {
    if (!qEnvironmentVariableIsSet(name))
        qputenv(name, value);
}

} // namespace

int& WebEngineSetup::beforeApplication(int& argc) {
    // The window draws in software and the engine composites its pages in software too, so no
    // GL driver is ever loaded: a monitor that never browses stays light and starts at once,
    // and the window is never torn down and made again for a GL surface when the browser first
    // draws, which would lose what the desktop sent to the old one.
    setUnlessSet("QT_XCB_GL_INTEGRATION", "none");
    setUnlessSet("QT_QUICK_BACKEND", "software");
    // The engine is loaded long after the application starts, when the user first browses, and
    // it asks for the shared context then; the context must have been made with the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (!toolkitHandler)
        toolkitHandler = qInstallMessageHandler(withoutNoGlNotice);
    // The engine's sandbox refuses to start under root, and the browser would then stay blank.
    // Running as root gives up nothing the sandbox could still protect.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    return argc;
}
