#pragma once

#include "app/TFormMainWindow.h"
#include "support/SettingsFolder.h"

#include <memory>

// A main window running offscreen on a settings file in a folder of its own.
class WindowFixture : public SettingsFolder {
public:
    WindowFixture() = default;
    explicit WindowFixture(const QByteArray& settingsText) : SettingsFolder(settingsText) {}

    // Creates and shows the window, as a start of the program does.
    TFormMainWindow& start();
    // Closes the window the way the user does; the settings are saved.
    void close();
    // Close, then start a fresh window on the same settings file.
    TFormMainWindow& restart();

    TFormMainWindow& window() { return *window_; }

    template <class T> T* find(const char* name) const {
        return window_->findChild<T*>(QString::fromLatin1(name));
    }

private:
    std::unique_ptr<TFormMainWindow> window_;
};
