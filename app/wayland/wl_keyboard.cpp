#include "app/wayland/wl_keyboard.h"

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstring>

// Key codes in Wayland's key events are the kernel's; XKB's are 8 higher.
static const uint32_t xkbKeyCodeOffset = 8;

WaylandKeyboard::WaylandKeyboard()
    : seat(nullptr), seatName(0), seatVersion(0), keyboard(nullptr), context(nullptr), keymap(nullptr),
      state(nullptr), escapePressed(false) {}

static void dropKeymap(WaylandKeyboard& keyboard) {
    xkb_state_unref(keyboard.state);
    keyboard.state = nullptr;
    xkb_keymap_unref(keyboard.keymap);
    keyboard.keymap = nullptr;
}

static void onKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
    WaylandKeyboard& keyboard = *static_cast<WaylandKeyboard*>(data);
    dropKeymap(keyboard);
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0) {
        // Private: the compositor may hand the same memory to every client.
        void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (text != MAP_FAILED) {
            if (!keyboard.context) {
                keyboard.context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
            }
            if (keyboard.context) {
                const char* keymapText = static_cast<const char*>(text);
                keyboard.keymap =
                    xkb_keymap_new_from_buffer(keyboard.context, keymapText, strnlen(keymapText, size),
                                               XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
            }
            munmap(text, size);
        }
        if (keyboard.keymap) {
            keyboard.state = xkb_state_new(keyboard.keymap);
        }
    }
    close(fd);
}

static void onEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}

static void onLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}

static void onKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t keyState) {
    WaylandKeyboard& keyboard = *static_cast<WaylandKeyboard*>(data);
    if (keyState != WL_KEYBOARD_KEY_STATE_PRESSED) {
        return;
    }
    // Without a keymap the key codes are all there is: the kernel's Escape.
    bool escape = keyboard.state
                      ? xkb_state_key_get_one_sym(keyboard.state, key + xkbKeyCodeOffset) == XKB_KEY_Escape
                      : key == KEY_ESC;
    if (escape) {
        keyboard.escapePressed = true;
    }
}

static void onModifiers(void* data, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched,
                        uint32_t locked, uint32_t group) {
    WaylandKeyboard& keyboard = *static_cast<WaylandKeyboard*>(data);
    if (keyboard.state) {
        xkb_state_update_mask(keyboard.state, depressed, latched, locked, 0, 0, group);
    }
}

static void onRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}

static const wl_keyboard_listener keyboardListener = {onKeymap, onEnter,     onLeave,
                                                      onKey,    onModifiers, onRepeatInfo};

static void releaseKeyboard(WaylandKeyboard& keyboard) {
    if (!keyboard.keyboard) {
        return;
    }
    if (keyboard.seatVersion >= WL_KEYBOARD_RELEASE_SINCE_VERSION) {
        wl_keyboard_release(keyboard.keyboard);
    } else {
        wl_keyboard_destroy(keyboard.keyboard);
    }
    keyboard.keyboard = nullptr;
}

static void onCapabilities(void* data, wl_seat* seat, uint32_t capabilities) {
    WaylandKeyboard& keyboard = *static_cast<WaylandKeyboard*>(data);
    bool hasKeyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    if (hasKeyboard && !keyboard.keyboard) {
        keyboard.keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(keyboard.keyboard, &keyboardListener, &keyboard);
    } else if (!hasKeyboard && keyboard.keyboard) {
        releaseKeyboard(keyboard);
    }
}

static void onSeatName(void*, wl_seat*, const char*) {}

static const wl_seat_listener seatListener = {onCapabilities, onSeatName};

void bindSeat(WaylandKeyboard& keyboard, wl_registry* registry, uint32_t name, uint32_t version) {
    if (keyboard.seat) {
        return;
    }
    // Version 5 has everything used here: the keyboard's release request and
    // its repeat information (ignored, but sent).
    keyboard.seatVersion = version < 5 ? version : 5;
    keyboard.seatName = name;
    keyboard.seat =
        static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, keyboard.seatVersion));
    wl_seat_add_listener(keyboard.seat, &seatListener, &keyboard);
}

void forgetSeat(WaylandKeyboard& keyboard, uint32_t name) {
    if (keyboard.seat && keyboard.seatName == name) {
        releaseSeat(keyboard);
    }
}

void releaseSeat(WaylandKeyboard& keyboard) {
    releaseKeyboard(keyboard);
    if (keyboard.seat) {
        if (keyboard.seatVersion >= WL_SEAT_RELEASE_SINCE_VERSION) {
            wl_seat_release(keyboard.seat);
        } else {
            wl_seat_destroy(keyboard.seat);
        }
        keyboard.seat = nullptr;
    }
    dropKeymap(keyboard);
    xkb_context_unref(keyboard.context);
    keyboard.context = nullptr;
}
