#include "app/ChatAlertsTab.h"

#include "app/ControlFactory.h"
#include "settings/ChatService.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
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
        target.service = components.add(new QComboBox, numbered("ComboChatService", number).constData());
        for (int service = 0; service < ChatServiceCount; ++service)
            target.service->addItem(chatServiceName(ChatService(service)));
        target.service->setToolTip(QStringLiteral("The chat or push service that gets the alarms"));
        target.address =
            edit(components, numbered("EditChatAddress", number).constData(), {},
                 QStringLiteral(
                     "The webhook, topic or server address; for Telegram the chat id. Empty: not used"));
        target.token = edit(components, numbered("EditChatToken", number).constData(), {},
                            QStringLiteral("The service's token, for the services that use one; kept in "
                                           "the desktop's secret store"));
        target.token->setEchoMode(QLineEdit::Password);
        target.after = minutesEdit(
            components, numbered("EditChatAfter", number).constData(),
            QStringLiteral("Only after down for (min)") + suffix,
            QStringLiteral("Tell this service of a page only once it has been down so many minutes; "
                           "empty: at once"));
        target.after->setMaximumWidth(80);
        t.ButtonChatTest[i] =
            button(components, numbered("ButtonChatTest", number).constData(), QStringLiteral("Send test"),
                   QStringLiteral("Send a sample alarm to this service and show its answer"));
        t.ButtonChatTest[i]->setAccessibleName(QStringLiteral("Send test") + suffix);

        // Two lines a target, so the three fit the window as it opens.
        auto* group = new QGroupBox(suffix.trimmed());
        auto* grid = new QGridLayout(group);
        const struct {
            const char* caption;
            QWidget* field;
            int row, column, span;
        } cells[] = {{"Service", target.service, 0, 0, 1},
                     {"Token", target.token, 0, 2, 1},
                     {"Only after down for (min)", target.after, 0, 4, 1},
                     {"Address", target.address, 1, 0, 3}};
        for (const auto& cell : cells) {
            // The caption is the field's buddy; the name adds the target a screen reader needs.
            QLabel* caption = label(QLatin1String(cell.caption));
            caption->setBuddy(cell.field);
            cell.field->setAccessibleName(QLatin1String(cell.caption) + suffix);
            grid->addWidget(caption, cell.row, cell.column);
            grid->addWidget(cell.field, cell.row, cell.column + 1, 1, cell.span);
        }
        grid->addWidget(t.ButtonChatTest[i], 1, 4, 1, 2);
        // A token field is open only for a service that takes one.
        const auto followService = [target] {
            target.token->setEnabled(chatServiceUsesToken(ChatService(target.service->currentIndex())));
        };
        QObject::connect(target.service, &QComboBox::currentIndexChanged, target.token, followService);
        followService();
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(3, 1);
        layout->addWidget(group);
    }
    layout->addStretch(1);
    return t;
}
