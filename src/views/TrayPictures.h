#pragma once

class QObject;
class QPixmap;
class TImageList;

// The 32 x 32 pictures of the tray icon: 0 the program's own icon, 1 the same greyed (idle),
// 2 the same with a clock (waiting), 3 a satellite dish (checking), 4 a green helmet (checks ended
// without alarm), 5 a yellow helmet (yellow alarm), 6 a red helmet (red alarm).
namespace TrayPictures {
TImageList* create(QObject* parent = nullptr);
QPixmap programIcon();
} // namespace TrayPictures
