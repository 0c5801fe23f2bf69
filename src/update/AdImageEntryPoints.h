#pragma once

#include <cstdint>

// All that the banner control and the banner library "adimage" share. The library is loaded at
// run time and found by these names, so nothing of it is linked into the program. The window
// handle is the control's QWidget*, passed as a pointer-sized integer.
extern "C" {
typedef std::uint16_t (*AdImageInitialize)(std::uintptr_t window, std::int32_t softwareId,
                                           std::int32_t version, std::int32_t sizeCode, std::int32_t flags);
typedef std::uint16_t (*AdImageStartMessaging)(std::int32_t softwareId);
}

inline constexpr const char* AdImageInitializeName = "Initialize";
inline constexpr const char* AdImageStartMessagingName = "StartMessaging";

// The banner sizes the library draws.
inline constexpr std::int32_t AdImageSize468x60 = 1;
inline constexpr std::int32_t AdImageSize120x60 = 20;
// Bit of the flags argument: show only banners already on this machine.
inline constexpr std::int32_t AdImageOfflineOnly = 1;

// Event types the library posts to the control: a banner went on show, a banner was clicked.
inline constexpr int AdImageDisplayNotice = 34743;
inline constexpr int AdImageClickNotice = 34745;
