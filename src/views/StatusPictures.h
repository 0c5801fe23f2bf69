#pragma once

class QObject;
class TImageList;

// The 16 x 16 pictures of the status grid, one per page status code:
// 0 failed or not yet checked, 1 excluded, 2 checking, 3 ok, 4 yellow alarm, 5 red alarm; then
// the mark drawn over the picture of a page in maintenance.
namespace StatusPictures {
constexpr int MaintenanceMark = 6;

TImageList* create(QObject* parent = nullptr);
} // namespace StatusPictures
