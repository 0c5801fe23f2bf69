#pragma once

#include <QTextDocument>

// A page that shows only its own text: the pictures and style sheets it names are not read,
// neither from the network nor from the disk, so a page cannot make the banner hang on a
// large or endless file.
class OfflineTextDocument : public QTextDocument {
protected:
    QVariant loadResource(int, const QUrl&) override { return {}; }
};
