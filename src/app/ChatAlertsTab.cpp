#include "app/ChatAlertsTab.h"

#include "app/ControlFactory.h"
#include "app/SettingsStore.h"
#include "notify/ChatService.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

using namespace ControlFactory;

namespace {

QByteArray numbered(const char* name, int number) {
    return QByteArray(name) + QByteArray::number(number);
}

} // namespace

ChatAlertsTab ChatAlertsTab::build(ComponentList& components) {
    ChatAlertsTab t{};
    t.TabSheetChat = components.add(new QWidget, "TabSheetChat");
    auto* layout = new QVBoxLayout(t.TabSheetChat);
    for (int i = 0; i < int(t.targets.size()); ++i) {
        Target& target = t.targets[i];
        const int number = i + 1;
        const QString suffix = QStringLiteral(" #") + QString::number(number);
        target.ComboChatService =
            components.add(new QComboBox, numbered("ComboChatService", number).constData());
        for (int service = 0; service < ChatServiceCount; ++service)
            target.ComboChatService->addItem(chatServiceName(ChatService(service)));
        target.ComboChatService->setToolTip(QStringLiteral("The chat or push service that gets the alarms"));
        target.EditChatAddress =
            edit(components, numbered("EditChatAddress", number).constData(), {},
                 QStringLiteral(
                     "The webhook, topic or server address; for Telegram the chat id. Empty: not used"));
        target.EditChatToken =
            edit(components, numbered("EditChatToken", number).constData(), {},
                 QStringLiteral("The service's token, for the services that use one; kept in "
                                "the desktop's secret store"));
        target.EditChatToken->setEchoMode(QLineEdit::Password);
        target.EditChatToken->setProperty(SettingsStore::NotSaved, true);
        target.ButtonChatTest =
            button(components, numbered("ButtonChatTest", number).constData(), QStringLiteral("Send test"),
                   QStringLiteral("Send a sample alarm to this service and show its answer"));
        target.ButtonChatTest->setAccessibleName(QStringLiteral("Send test") + suffix);

        auto* group = new QGroupBox(suffix.trimmed());
        auto* form = new QFormLayout(group);
        const std::pair<const char*, QWidget*> rows[] = {{"Service", target.ComboChatService},
                                                         {"Address", target.EditChatAddress},
                                                         {"Token", target.EditChatToken}};
        for (const auto& [caption, field] : rows) {
            // The caption is the field's buddy; the name adds the target a screen reader needs.
            form->addRow(label(QLatin1String(caption)), field);
            field->setAccessibleName(QLatin1String(caption) + suffix);
        }
        form->addRow(QString(), target.ButtonChatTest);
        layout->addWidget(group);
    }
    layout->addStretch(1);
    return t;
}
