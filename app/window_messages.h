#pragma once

// Private messages to the main window. Each value is also the type of the
// custom QEvent that carries it, so all of them lie inside Qt's user event
// range (QEvent::User .. QEvent::MaxUser). The engine layer posts the player
// messages without knowing Qt; see playback/player_event_sink.h.

namespace orvo {

inline constexpr unsigned WM_PLAYER_ERROR = 0x0C01;       // wParam 1
inline constexpr unsigned WM_LANGUAGE_CHANGED = 0x0C02;   // wParam language index
inline constexpr unsigned WM_TOGGLE_FULLSCREEN = 0x0C04;  // wParam 0
inline constexpr unsigned WM_PLAYER_STATE = 0x0C06;       // wParam 3 playing, 4 paused
inline constexpr unsigned WM_PLAYER_TIME = 0x0C07;        // wParam time in ms, low 32 bits
inline constexpr unsigned WM_PLAYER_END = 0x0C08;         // wParam 1
inline constexpr unsigned WM_GROUP_CLICKED = 0x0C09;      // wParam group index or -1
inline constexpr unsigned WM_FILE_CLICKED = 0x0C0A;       // wParam entry index or -1
inline constexpr unsigned WM_MAP_CHANGED = 0x0C0B;        // wParam map choice
inline constexpr unsigned WM_VOLUME_CHANGED = 0x0C0C;     // wParam 0
inline constexpr unsigned WM_SEEK_CHANGED = 0x0C0D;       // wParam 0
inline constexpr unsigned WM_SORT_CLIPS = 0x0C0E;         // wParam column 0..2, lParam ascending

// wParam values of WM_PLAYER_STATE.
inline constexpr unsigned kPlayerStatePlaying = 3;
inline constexpr unsigned kPlayerStatePaused = 4;

}  // namespace orvo
