#pragma once

// The mouse events reported for the tray icon.
enum class TrayMouseMessage {
    MouseMove,
    LeftButtonDown,
    LeftButtonUp,
    LeftButtonDblClk,
    RightButtonDown,
    RightButtonUp,
    RightButtonDblClk,
    MiddleButtonDown,
    MiddleButtonUp,
    MiddleButtonDblClk,
};
