#pragma once

#include <QListView>

// A list whose items carry a check mark each: a view of one column of a list model, whose
// marks the user toggles with the mouse or the space bar. The page list shows its addresses
// with their ticks in one, and its per-page values with their change checks in others.
class TCheckListBox : public QListView {
    Q_OBJECT
public:
    explicit TCheckListBox(QWidget* parent = nullptr);

    // Shows the column of the model, which outlives the view.
    void showList(QAbstractItemModel* model, int column);

    int itemCount() const;
    QString itemText(int index) const;
    bool isChecked(int index) const;
    // Ticks or unticks an item as the user's click would.
    void setChecked(int index, bool checked);
    // Position of the item whose whole text equals text, letter case ignored; -1 if none.
    int indexOfText(const QString& text) const;
    QStringList texts() const;

    int selectedIndex() const { return currentIndex().row(); }
    void setCurrentRow(int row);

signals:
    // The user selected an item with the mouse or the keyboard.
    void userClick();
    void currentRowChanged(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QModelIndex item(int index) const;

    bool clearSelectionAfterRemoval_ = false;
};
