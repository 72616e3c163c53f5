#pragma once

#include <cstdint>

struct wl_keyboard;
struct wl_registry;
struct wl_seat;
struct xkb_context;
struct xkb_keymap;
struct xkb_state;

// The seat's keyboard, read through the compositor's keymap: keys are judged
// by their symbol, so Escape is Escape in every layout. A seat may gain its
// keyboard only after the window exists, lose it and gain another, and the
// keymap may change at any time; all of that is followed.
struct WaylandKeyboard {
    WaylandKeyboard();
    WaylandKeyboard(const WaylandKeyboard&) = delete;
    WaylandKeyboard& operator=(const WaylandKeyboard&) = delete;

    wl_seat* seat;
    uint32_t seatName;
    uint32_t seatVersion;
    wl_keyboard* keyboard;
    xkb_context* context;
    xkb_keymap* keymap;
    xkb_state* state;
    // Set when Escape goes down; the window turns it into the quit request.
    bool escapePressed;
};

// Binds the seat announced as global `name`; only the first seat is used.
void bindSeat(WaylandKeyboard& keyboard, wl_registry* registry, uint32_t name, uint32_t version);

// The global `name` went away: lets go of the seat if it was ours.
void forgetSeat(WaylandKeyboard& keyboard, uint32_t name);

// Releases the keyboard, the seat and the keymap.
void releaseSeat(WaylandKeyboard& keyboard);
