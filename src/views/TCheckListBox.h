#pragma once

#include <QListWidget>

// A list whose items carry a check mark each. Besides the page list it holds the per-page
// last-known values, whose marks are the per-page change-check options.
class TCheckListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TCheckListBox(QWidget* parent = nullptr);

    int itemCount() const { return count(); }
    QString itemText(int index) const;
    // Replacing an item's text never touches its check mark.
    void setItemText(int index, const QString& text);
    bool isChecked(int index) const;
    void setChecked(int index, bool checked);

    void appendItem(const QString& text, bool checked = false);
    void removeItemAt(int index);
    // Position of the item whose whole text equals text, letter case ignored; -1 if none.
    int indexOfText(const QString& text) const;

    int selectedIndex() const { return currentRow(); }

    QStringList texts() const;

signals:
    // The user selected an item with the mouse or the keyboard.
    void userClick();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
