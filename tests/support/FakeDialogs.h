#pragma once

#include "notify/DialogService.h"

#include <QQueue>
#include <QStringList>
#include <functional>

// Answers dialogs without showing them and records every message the program raised.
class FakeDialogs : public DialogService {
public:
    void showError(const QString& text) override {
        errors.append(text);
        // A real error box runs the event loop until the user closes it.
        if (whileErrorShown)
            whileErrorShown();
    }
    void showMessage(const QString& text) override { messages.append(text); }
    bool confirm(const QString& caption, const QString& text) override {
        confirmRequests.append(QStringList{caption, text});
        return !confirmAnswers.isEmpty() && confirmAnswers.dequeue();
    }
    std::optional<QString> inputText(const QString& caption, const QString& prompt) override {
        inputRequests.append(QStringList{caption, prompt});
        if (inputAnswers.isEmpty())
            return std::nullopt;
        return inputAnswers.dequeue();
    }
    QString openFileName(const QString& fileName, const QString& filter,
                         const QString& defaultExtension) override {
        openFileRequests.append(QStringList{fileName, filter, defaultExtension});
        return openFileAnswers.isEmpty() ? QString() : openFileAnswers.dequeue();
    }
    QString saveFileName(const QString&, const QString&, const QString&) override {
        return saveFileAnswers.isEmpty() ? QString() : saveFileAnswers.dequeue();
    }

    QStringList errors;
    QStringList messages;
    QList<QStringList> confirmRequests;
    // What the next confirmation boxes answer (true is "&Yes"); none queued is a close.
    QQueue<bool> confirmAnswers;
    QList<QStringList> inputRequests;
    // What the next input dialogs answer; none queued is a cancel.
    QQueue<QString> inputAnswers;
    std::function<void()> whileErrorShown;
    QList<QStringList> openFileRequests;
    // What the next open-file dialogs answer; an empty text (or none queued) is a cancel.
    QQueue<QString> openFileAnswers;
    QQueue<QString> saveFileAnswers;
};

// The dialogs of the running test executable's application object.
FakeDialogs& testDialogs();
