#pragma once

#include "browser/BrowserEngine.h"

#include <QString>
#include <memory>

// Loads the web engine's library on first use and makes page views with it. The library stays
// loaded for the rest of the run: the engine cannot be taken down and started again.
namespace BrowserEngineLibrary {

// A new page view, or null with the reason in error when the library cannot be loaded.
std::unique_ptr<BrowserEngine> create(QWidget* parent, QString& error);

} // namespace BrowserEngineLibrary
