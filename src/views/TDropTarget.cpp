#include "views/TDropTarget.h"

#include <QDropEvent>
#include <stdexcept>
#include <utility>

namespace {

QObject* ownerOf(const QWidget* control) {
    return control->property(TDropTarget::OwnerProperty).value<QObject*>();
}

std::runtime_error failure(const char* what, const QWidget* control) {
    return std::runtime_error(what + control->objectName().toStdString());
}

} // namespace

TDropTarget::TDropTarget(QObject* parent) : QObject(parent) {}

TDropTarget::~TDropTarget() {
    revoke();
}

void TDropTarget::Register(QWidget* control) {
    if (registered_ && control == control_)
        return;
    if (registered_)
        Unregister();
    if (!control)
        return;
    const QObject* owner = ownerOf(control);
    if (owner && owner != this)
        throw failure("Failed to Register ", control);
    control->setProperty(OwnerProperty, QVariant::fromValue(static_cast<QObject*>(this)));
    control->installEventFilter(this);
    control->setAcceptDrops(true);
    control_ = control;
    registered_ = true;
}

void TDropTarget::Unregister() {
    registered_ = false;
    QWidget* const control = control_;
    // Forgotten even when the registration was lost, so a second call has nothing to fail on.
    if (!revoke())
        throw failure("Failed to Unregister ", control);
}

bool TDropTarget::revoke() {
    QWidget* control = std::exchange(control_, nullptr);
    if (!control)
        return true;
    control->removeEventFilter(this);
    if (ownerOf(control) != this)
        return false;
    control->setAcceptDrops(false);
    control->setProperty(OwnerProperty, QVariant());
    return true;
}

bool TDropTarget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == control_) {
        switch (event->type()) {
        case QEvent::DragEnter:
            dragEnter(static_cast<QDragEnterEvent*>(event));
            return true;
        case QEvent::DragMove:
            dragMove(static_cast<QDragMoveEvent*>(event));
            return true;
        case QEvent::DragLeave:
            release();
            return true;
        case QEvent::Drop:
            drop(static_cast<QDropEvent*>(event));
            return true;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TDropTarget::dragEnter(QDragEnterEvent* event) {
    release();
    // Data without a usable format is not held, so the moves and the drop of that drag are
    // refused as well.
    if (!HasValidFormats(*event->mimeData())) {
        event->ignore();
        return;
    }
    data_ = event->mimeData();
    if (GetDataOnEnter)
        DoGetData();
    answerEffect(event);
}

void TDropTarget::dragMove(QDragMoveEvent* event) {
    if (!data_) {
        event->ignore();
        return;
    }
    answerEffect(event);
    DoDragOver();
}

void TDropTarget::drop(QDropEvent* event) {
    if (!data_) {
        event->ignore();
        return;
    }
    if (answerEffect(event) != Qt::IgnoreAction && (GetDataOnEnter || DoGetData()))
        DoDrop();
    release();
}

Qt::DropAction TDropTarget::answerEffect(QDropEvent* event) const {
    const Qt::DropAction action = GetValidDropEffect(event->modifiers(), event->possibleActions());
    if (action == Qt::IgnoreAction) {
        event->ignore();
    } else {
        event->setDropAction(action);
        event->accept();
    }
    return action;
}

void TDropTarget::release() {
    ClearData();
    data_ = nullptr;
}

Qt::DropAction TDropTarget::GetValidDropEffect(Qt::KeyboardModifiers modifiers,
                                               Qt::DropActions offered) const {
    Qt::DropActions usable = offered & Dragtypes;
    // Browsers on Linux offer a dragged link for copying (and moving) but seldom for linking. A
    // link target would refuse every such drag, so copying stands in for linking: the target
    // copies what it needs, and the source keeps its data, as it does when linked to.
    if (Dragtypes.testFlag(Qt::LinkAction) && !offered.testFlag(Qt::LinkAction))
        usable |= offered & Qt::CopyAction;
    const Qt::KeyboardModifiers held = modifiers & (Qt::ShiftModifier | Qt::ControlModifier);
    if (held == (Qt::ShiftModifier | Qt::ControlModifier) && usable.testFlag(Qt::LinkAction))
        return Qt::LinkAction;
    if (held == Qt::ShiftModifier && usable.testFlag(Qt::MoveAction))
        return Qt::MoveAction;
    for (Qt::DropAction action : {Qt::CopyAction, Qt::MoveAction, Qt::LinkAction}) {
        if (usable.testFlag(action))
            return action;
    }
    return Qt::IgnoreAction;
}

void TDropTarget::DoDragOver() {
    if (OnDragOver)
        OnDragOver();
}

void TDropTarget::DoDrop() {
    if (OnDrop)
        OnDrop();
}
