#pragma once

#include <QList>
#include <QString>
#include <functional>

class IniFile;
class QObject;

// Makes the window's controls persistent in "KV.ini", section "defaults", one key per control
// named after it. Only edit fields, check boxes, check lists, memos and combo boxes of exactly
// those kinds are kept; every other component is passed by, and so is a control carrying the
// property NotSaved set to true.
class SettingsStore {
public:
    static constexpr const char* Section = "defaults";
    static constexpr const char* NotSaved = "korvaneNotSaved";

    // A part of the file that no control holds, read after the controls and written with them.
    struct Part {
        std::function<void(const IniFile&)> load;
        std::function<void(IniFile&)> save;
    };

    SettingsStore(QString filePath, const QList<QObject*>& components);

    void addPart(Part part);

    // Restoring a value acts like a user's change, so the controls' own change reactions run.
    void LoadSettings();
    // Raises "Unable to write to <path>" when the file cannot be written; the previous file
    // then stays as it was.
    void SaveSettings();

private:
    QString filePath_;
    const QList<QObject*>& components_;
    QList<Part> parts_;
};
