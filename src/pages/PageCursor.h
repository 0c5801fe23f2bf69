#pragma once

#include <QObject>

class PageRecords;

// Follows one page of the list while the user adds and deletes pages, as they may while a
// check waits on the network: its position moves with the pages deleted or inserted before it.
// When the page itself is deleted, the cursor says so and stands where the page that followed
// it now is.
class PageCursor : public QObject {
    Q_OBJECT
public:
    PageCursor(const PageRecords& pages, int page);

    int position() const { return position_; }
    bool deleted() const { return deleted_; }

private:
    void removed(int first, int last);
    void inserted(int first, int last);

    int position_;
    bool deleted_ = false;
};
