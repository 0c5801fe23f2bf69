#include "browser/BrowserEngineLibrary.h"

#include "settings/ProgramFolders.h"

#include <QLibrary>

namespace {

// The library sits beside the program or in the installed library folder; a test or a benchmark
// runs from a folder of its own and finds it in the build folder.
CreateBrowserEngine resolve(QString& error) {
    static CreateBrowserEngine create = nullptr;
    static QString failure;
    if (create || !failure.isEmpty()) {
        error = failure;
        return create;
    }
    for (const QString& folder : {ProgramFolders::libraryFolder(QStringLiteral("korvane_webengine")),
                                  QStringLiteral(KORVANE_ENGINE_DIR)}) {
        QLibrary library(folder + QStringLiteral("/korvane_webengine"));
        create = reinterpret_cast<CreateBrowserEngine>(library.resolve(CreateBrowserEngineName));
        if (create)
            return create;
        failure = library.errorString();
    }
    error = failure;
    return nullptr;
}

} // namespace

std::unique_ptr<BrowserEngine> BrowserEngineLibrary::create(QWidget* parent, QString& error) {
    const CreateBrowserEngine make = resolve(error);
    return std::unique_ptr<BrowserEngine>(make ? make(parent) : nullptr);
}
