#include "settings/SettingsSchema.h"

#include "pages/PageRecords.h"
#include "settings/AlarmBoxes.h"
#include "settings/ChatService.h"

#include <QHash>

namespace {

SettingDefinition text(const char* key, const QString& initial = {}) {
    return {QString::fromLatin1(key), SettingKind::Text, initial, {}};
}

SettingDefinition secret(const char* key) {
    return {QString::fromLatin1(key), SettingKind::Text, QString(), {}, false};
}

SettingDefinition tick(const char* key, bool initial) {
    return {QString::fromLatin1(key), SettingKind::Tick, initial, {}};
}

SettingDefinition choice(const char* key, const QStringList& choices) {
    return {QString::fromLatin1(key), SettingKind::Choice, choices.first(), choices};
}

SettingDefinition pageList(const char* key, int column) {
    return {QString::fromLatin1(key), SettingKind::PageList, column, {}};
}

void boxes(QList<SettingDefinition>& all, const QList<AlarmBox>& group) {
    for (const AlarmBox& box : group)
        all.append(tick(box.name, box.ticked));
}

QList<SettingDefinition> build() {
    QStringList services;
    for (int service = 0; service < ChatServiceCount; ++service)
        services.append(chatServiceName(ChatService(service)));

    QList<SettingDefinition> all = {
        // Setup Web Pages
        text("EditURL", QStringLiteral("http://")),
        tick("CheckBoxCheckSize", false),
        tick("CheckBoxCheckSignature", false),
        tick("CheckBoxCheckDate", false),
        pageList("CheckListBoxURL", PageRecords::Address),
        // Email Setup
        text("EditEmailID"),
        text("EditEmailHost"),
        text("EditEmailPort", QStringLiteral("25")),
        text("EditLocalName"),
        text("Edit1localEMail"),
        choice("ComboEmailSecurity",
               {QStringLiteral("None"), QStringLiteral("STARTTLS"), QStringLiteral("TLS")}),
        text("EditEmailUser"),
        secret("EditEmailPassword"),
        // Sending E-Mail
        {QStringLiteral("Memo1"),
         SettingKind::Lines,
         QStringList{QStringLiteral("An error occurred while trying to access:"), QStringLiteral("%URL%:"),
                     QString(), QStringLiteral("The error message was:"), QStringLiteral("%ERROR% ")},
         {}},
        text("EditEMail1"),
        text("EditEMail2"),
        text("EditEMail3"),
        text("Edit10", QStringLiteral("Korvane Error Notification")),
    };
    // Alarms
    boxes(all, AlarmBoxes::first());
    all.append(text("EditYWavFileName", QStringLiteral("td.wav")));
    boxes(all, AlarmBoxes::playWav());
    all.append(text("EditRWavFileName", QStringLiteral("problem.wav")));
    boxes(all, AlarmBoxes::changes());
    boxes(all, AlarmBoxes::later());
    boxes(all, AlarmBoxes::chat());
    all += {
        tick("CheckBoxDesktopNotification", true),
        // Connection
        text("EditProxyHost"),
        text("EditProxyPort", QStringLiteral("80")),
        tick("CheckBoxProxy", false),
        text("EditTimeSlow", QStringLiteral("5")),
        text("EditTimeOut", QStringLiteral("20")),
        text("EditInterval", QStringLiteral("10")),
        tick("CheckBoxAcceptUntrusted", false),
        text("EditCertDays", QStringLiteral("14")),
        text("EditFailCount", QStringLiteral("1")),
        text("EditNetworkCheck"),
        text("EditParallelChecks", QStringLiteral("16")),
        text("EditHistoryDays", QStringLiteral("2")),
        // The hidden Misc tab
        pageList("SizeList", PageRecords::Size),
        pageList("LastDateList", PageRecords::Date),
        pageList("SignatureList", PageRecords::Signature),
        // The browser tabs
        text("EditRootTo"),
        text("EditBrowseTo", QStringLiteral("http://")),
    };
    // Chat Alerts
    for (const char* number : {"1", "2", "3"}) {
        all.append(choice(qPrintable(QStringLiteral("ComboChatService") + QLatin1String(number)), services));
        all.append(text(qPrintable(QStringLiteral("EditChatAddress") + QLatin1String(number))));
        all.append(secret(qPrintable(QStringLiteral("EditChatToken") + QLatin1String(number))));
    }
    // Added later, so they come last.
    all.append(tick("CheckBoxMailPerCycle", false));
    all.append(text("EditMetricsAddress"));
    all.append(secret("EditMetricsToken"));
    // Minutes; empty or 0: never, or at once. Then when a pause of all alarms ends, in UTC; empty:
    // no pause.
    QStringList whenSet{QStringLiteral("EditRemindEvery")};
    for (const char* key : {"EditEMailAfter", "EditChatAfter"})
        for (const char* number : {"1", "2", "3"})
            whenSet.append(QLatin1String(key) + QLatin1String(number));
    whenSet.append(QStringLiteral("AlarmsPausedUntil"));
    for (const QString& key : whenSet) {
        all.append(text(qPrintable(key)));
        all.back().whenSet = true;
    }
    return all;
}

} // namespace

const QList<SettingDefinition>& SettingsSchema::all() {
    static const QList<SettingDefinition> settings = build();
    return settings;
}

const SettingDefinition* SettingsSchema::find(const QString& key) {
    static const QHash<QString, const SettingDefinition*> byKey = [] {
        QHash<QString, const SettingDefinition*> keys;
        for (const SettingDefinition& definition : all())
            keys.insert(definition.key, &definition);
        return keys;
    }();
    return byKey.value(key);
}
