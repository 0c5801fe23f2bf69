#pragma once

#include <QtGlobal>

#include <array>

// The record a notification-area icon is described by, kept field for field as the tray expects it,
// so the icon's state can be checked even where no tray exists.
struct TNotifyIconData {
    static constexpr quint32 kRecordSize = 88;
    static constexpr quint32 kFlagMessage = 0x1;
    static constexpr quint32 kFlagIcon = 0x2;
    static constexpr quint32 kFlagTip = 0x4;
    static constexpr quint32 kUserMessage = 1024;
    static constexpr quint32 kCallbackMessage = kUserMessage + 123;
    static constexpr int kTipSize = 64;

    quint32 cbSize = kRecordSize;
    // The component's message receiver.
    quintptr hWnd = 0;
    quint32 uID = 0;
    quint32 uFlags = kFlagMessage | kFlagIcon | kFlagTip;
    quint32 uCallbackMessage = kCallbackMessage;
    // The picture's handle while the icon is in the tray, 0 otherwise.
    qint64 hIcon = 0;
    // The hint, 8-bit and zero-terminated.
    std::array<char, kTipSize> szTip{};
};

// What is asked of the tray.
enum class NotifyIconMessage { Add, Modify, Delete };
