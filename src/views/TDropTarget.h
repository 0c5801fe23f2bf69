#pragma once

#include <QMimeData>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

class QDropEvent;
class QDragEnterEvent;
class QDragMoveEvent;

// Makes one widget a target for things dragged onto it from this or any other program. Child
// widgets that take no drops themselves pass their drags on to it. A subclass says which data
// it can use and takes it out; the handlers tell the owner that a drag hovers or was dropped.
class TDropTarget : public QObject {
    Q_OBJECT
public:
    // The widget property naming the drop target that has registered the widget.
    static constexpr const char* OwnerProperty = "korvaneDropTarget";

    explicit TDropTarget(QObject* parent = nullptr);
    ~TDropTarget() override;

    // Takes the drops of control, giving up a control registered before. Raises "Failed to
    // Register <name>" when another drop target has already registered the control.
    void Register(QWidget* control);
    // Gives the control's drops back. Raises "Failed to Unregister <name>" when the control's
    // registration is no longer this target's.
    void Unregister();

    QWidget* control() const { return control_; }
    bool isRegistered() const { return registered_; }

    // The drop actions this target takes.
    Qt::DropActions Dragtypes = Qt::CopyAction;
    // Take the data out as soon as a drag enters, so the drag-over handler can already look
    // at it; the drop then hands on what was taken out on entering.
    bool GetDataOnEnter = false;

    std::function<void()> OnDragOver;
    std::function<void()> OnDrop;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Takes the usable data out of heldData(); false when there is none.
    virtual bool DoGetData() = 0;
    virtual void ClearData() = 0;
    virtual bool HasValidFormats(const QMimeData& data) const = 0;
    virtual Qt::DropAction GetValidDropEffect(Qt::KeyboardModifiers modifiers, Qt::DropActions offered) const;
    virtual void DoDragOver();
    virtual void DoDrop();

    // The data of the drag in progress; null outside a drag of usable data.
    const QMimeData* heldData() const { return data_; }

private:
    void dragEnter(QDragEnterEvent* event);
    void dragMove(QDragMoveEvent* event);
    void drop(QDropEvent* event);
    Qt::DropAction answerEffect(QDropEvent* event) const;
    void release();
    bool revoke();

    QPointer<QWidget> control_;
    bool registered_ = false;
    QPointer<const QMimeData> data_;
};
