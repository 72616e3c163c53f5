#pragma once

#include <cstdint>

struct wl_output;
struct wl_registry;
struct wl_surface;
struct wp_fractional_scale_manager_v1;
struct wp_fractional_scale_v1;
struct wp_viewport;
struct wp_viewporter;

// One of the compositor's outputs: its integer scale, and whether the
// window's surface is on it.
struct WaylandOutput {
    wl_output* output;
    uint32_t name;
    int32_t scale;
    bool entered;
};

// What the compositor says about the scale at which the window's surface is
// shown, from which the window takes the size of its buffer. Every report
// is kept as it comes; the buffer's size follows from all of them (see
// wantedBufferSide).
struct WaylandScale {
    WaylandScale();
    WaylandScale(const WaylandScale&) = delete;
    WaylandScale& operator=(const WaylandScale&) = delete;

    static const int maxOutputs = 16;
    WaylandOutput outputs[maxOutputs];
    int outputCount;
    // Offered together, they give the surface a scale in 120ths, drawn at
    // buffer scale 1 and shown at 600 by 600 through the viewport.
    wp_fractional_scale_manager_v1* fractionalManager;
    wp_viewporter* viewporter;
    // Made for the surface when both are offered.
    wp_fractional_scale_v1* fractional;
    wp_viewport* viewport;
    // The fractional scale in 120ths, and the surface's preferred integer
    // buffer scale (wl_surface 6); 0 until the compositor sends one.
    uint32_t preferredScale120;
    int32_t preferredBufferScale;
};

// Binds the global if it is an output, the fractional scale manager or the
// viewporter.
void bindScaleGlobal(WaylandScale& scale, wl_registry* registry, uint32_t name, const char* interface,
                     uint32_t version);

// The global `name` went away: forgets it if it was an output.
void forgetScaleGlobal(WaylandScale& scale, uint32_t name);

// Listens to the surface's outputs and preferred scale; where the fractional
// scale is offered, shows the surface at 600 by 600 through a viewport and
// listens to its fractional scale. Before the surface's first commit.
void watchSurfaceScale(WaylandScale& scale, wl_surface* surface);

// The side in pixels of the buffer that shows the 600 by 600 window sharp at
// the scale reported last: the fractional scale where it is in use; else the
// preferred buffer scale; else the largest scale of the outputs the surface
// is on, or before it is on any, of all outputs, so that a window on one
// scaled output is sharp from its first frame.
int wantedBufferSide(const WaylandScale& scale);

// The surface's buffer scale for a buffer of wantedBufferSide: 1 through the
// viewport, else the integer scale.
int32_t wantedBufferScale(const WaylandScale& scale);

// Destroys what was bound and made for the surface.
void releaseScale(WaylandScale& scale);
