#pragma once

// What the web engine needs settled before the application object exists. The application
// class runs it on its way to the QApplication constructor, so every program and test gets it.
namespace WebEngineSetup {

// Returns argc, so that it can sit in the application's base initialiser.
int& beforeApplication(int& argc);

} // namespace WebEngineSetup
