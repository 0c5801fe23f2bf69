#pragma once

#include <QList>
#include <QString>
#include <functional>

class IniFile;
class PageRecords;
class Settings;

// Keeps the settings and the page list's lists in "KV.ini", section "defaults", one key a
// setting, in the order of the settings' schema. A key already in the file keeps its line; a
// new one is added at the end of the section.
class SettingsStore {
public:
    static constexpr const char* Section = "defaults";

    // A part of the file that no setting holds, read after the settings and written with them.
    struct Part {
        std::function<void(const IniFile&)> load;
        std::function<void(IniFile&)> save;
    };

    SettingsStore(QString filePath, Settings& settings, PageRecords& pages);

    const QString& filePath() const { return filePath_; }
    void addPart(Part part);

    // A key the file lacks keeps the design default; so do a tick written empty and a choice
    // that is none of its texts.
    void LoadSettings();
    // Raises "Unable to write to <path>" when the file cannot be written; the previous file
    // then stays as it was.
    void SaveSettings();

    // The page list's lists alone, for a program that changes the list and leaves every other
    // setting of the file as it was. A list the file does not name stays as it is.
    static void loadPageList(const IniFile& ini, PageRecords& pages);
    static void savePageList(IniFile& ini, const PageRecords& pages);
    // Writes the file; one that holds a page's password is for its owner's eyes only, and so is one
    // that was before. Returns false when it cannot be written.
    static bool write(const IniFile& ini, const QString& path, const PageRecords& pages);

private:
    QString filePath_;
    Settings& settings_;
    PageRecords& pages_;
    QList<Part> parts_;
};
