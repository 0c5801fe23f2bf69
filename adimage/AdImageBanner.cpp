#include "AdImageBanner.h"

#include "OfflineTextDocument.h"
#include "update/AdImageEntryPoints.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>

namespace {

// A banner page is small; whatever is longer is cut rather than laid out on every paint.
constexpr qint64 PageReadLimit = 256 * 1024;

} // namespace

AdImageBanner::AdImageBanner(QWidget* control, std::int32_t softwareId)
    : QWidget(control), softwareId_(softwareId) {
    setGeometry(control->rect());
    control->installEventFilter(this);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(control->accessibleName());
    setAccessibleDescription(QStringLiteral("Press Enter or Space to visit the sponsor"));
    hide();
}

void AdImageBanner::start() {
    started_ = true;
    show();
    postToControl(AdImageDisplayNotice);
}

// The banner fills its control whatever size the control is given.
bool AdImageBanner::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return false;
}

void AdImageBanner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!paintPicture(painter) && !paintPage(painter))
        paintOwnBanner(painter);
    if (hasFocus()) {
        QPen pen(palette().color(QPalette::Highlight), 2, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

// Only a plain file: a named pipe or a device could keep the painting waiting.
QString AdImageBanner::controlFile(const char* property) const {
    const QString path = parentWidget()->property(property).toString();
    return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}

bool AdImageBanner::paintPicture(QPainter& painter) {
    const QString path = controlFile("adimagePicture");
    const QImage picture = path.isEmpty() ? QImage() : QImage(path);
    if (picture.isNull())
        return false;
    const QImage fitted = picture.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    painter.fillRect(rect(), palette().window());
    painter.drawImage((width() - fitted.width()) / 2, (height() - fitted.height()) / 2, fitted);
    return true;
}

bool AdImageBanner::paintPage(QPainter& painter) {
    QFile file(controlFile("adimagePage"));
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    OfflineTextDocument page;
    page.setDefaultFont(font());
    page.setHtml(QString::fromUtf8(file.read(PageReadLimit)));
    page.setTextWidth(width());
    painter.fillRect(rect(), palette().base());
    page.drawContents(&painter, rect());
    return true;
}

// Two lines, the name above the tag line, sized to fit the narrow banner as well as the wide one.
void AdImageBanner::paintOwnBanner(QPainter& painter) {
    painter.fillRect(rect(), palette().highlight());
    painter.setPen(palette().color(QPalette::HighlightedText));
    const bool narrow = width() < 200;
    const int split = height() * 9 / 20;
    QFont name = font();
    name.setBold(true);
    name.setPixelSize(narrow ? 18 : 24);
    painter.setFont(name);
    painter.drawText(QRect(0, 0, width(), split), Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("Korvane"));
    QFont line = font();
    line.setPixelSize(narrow ? 11 : 13);
    painter.setFont(line);
    painter.drawText(QRect(2, split + 2, width() - 4, height() - split - 2),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                     QStringLiteral("Watching your web pages"));
}

// The press is taken so that its release comes here too.
void AdImageBanner::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        QWidget::mousePressEvent(event);
}

void AdImageBanner::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        postToControl(AdImageClickNotice);
    else
        QWidget::mouseReleaseEvent(event);
}

void AdImageBanner::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        postToControl(AdImageClickNotice);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void AdImageBanner::postToControl(int notice) {
    QCoreApplication::postEvent(parentWidget(), new QEvent(QEvent::Type(notice)));
}
