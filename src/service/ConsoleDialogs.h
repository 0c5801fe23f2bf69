#pragma once

#include "notify/DialogService.h"

#include <functional>

// The dialogs of a program without a window: what would be shown goes to a line of text, and
// nothing that would ask the user is ever agreed to.
class ConsoleDialogs : public DialogService {
public:
    explicit ConsoleDialogs(std::function<void(const QString&)> tell) : tell_(std::move(tell)) {}

    void showError(const QString& text) override { tell_(text); }
    void showMessage(const QString& text) override { tell_(text); }
    bool confirm(const QString&, const QString&) override { return false; }
    std::optional<QString> inputText(const QString&, const QString&) override { return std::nullopt; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }

private:
    std::function<void(const QString&)> tell_;
};
