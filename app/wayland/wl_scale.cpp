#include "app/wayland/wl_scale.h"

#include "app/WindowFacts.h"
#include "app/wayland/wl_release.h"

#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"

#include <wayland-client.h>

#include <cstring>

WaylandScale::WaylandScale()
    : outputs(), outputCount(0), fractionalManager(nullptr), viewporter(nullptr), fractional(nullptr),
      viewport(nullptr), preferredScale120(0), preferredBufferScale(0) {}

static WaylandOutput* findOutput(WaylandScale& scale, const wl_output* output) {
    for (int i = 0; i < scale.outputCount; ++i) {
        if (scale.outputs[i].output == output) {
            return &scale.outputs[i];
        }
    }
    return nullptr;
}

static void onOutputScale(void* data, wl_output* output, int32_t factor) {
    WaylandOutput* known = findOutput(*static_cast<WaylandScale*>(data), output);
    if (known) {
        known->scale = factor;
    }
}

static void onOutputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                             const char*, int32_t) {}
static void onOutputMode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}
static void onOutputDone(void*, wl_output*) {}
static void onOutputText(void*, wl_output*, const char*) {}

static const wl_output_listener outputListener = {onOutputGeometry, onOutputMode, onOutputDone,
                                                  onOutputScale,    onOutputText, onOutputText};

static void onFractionalScale(void* data, wp_fractional_scale_v1*, uint32_t scale120) {
    static_cast<WaylandScale*>(data)->preferredScale120 = scale120;
}

static const wp_fractional_scale_v1_listener fractionalListener = {onFractionalScale};

void bindScaleGlobal(WaylandScale& scale, wl_registry* registry, uint32_t name, const char* interface,
                     uint32_t version) {
    if (strcmp(interface, wl_output_interface.name) == 0) {
        // Version 2 brings the scale.
        if (version < WL_OUTPUT_SCALE_SINCE_VERSION || scale.outputCount == WaylandScale::maxOutputs) {
            return;
        }
        WaylandOutput& added = scale.outputs[scale.outputCount++];
        added.output = static_cast<wl_output*>(
            wl_registry_bind(registry, name, &wl_output_interface, WL_OUTPUT_SCALE_SINCE_VERSION));
        added.name = name;
        added.scale = 1;
        added.entered = false;
        wl_output_add_listener(added.output, &outputListener, &scale);
    } else if (strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0 &&
               !scale.fractionalManager) {
        scale.fractionalManager = static_cast<wp_fractional_scale_manager_v1*>(
            wl_registry_bind(registry, name, &wp_fractional_scale_manager_v1_interface, 1));
    } else if (strcmp(interface, wp_viewporter_interface.name) == 0 && !scale.viewporter) {
        scale.viewporter =
            static_cast<wp_viewporter*>(wl_registry_bind(registry, name, &wp_viewporter_interface, 1));
    }
}

void forgetScaleGlobal(WaylandScale& scale, uint32_t name) {
    for (int i = 0; i < scale.outputCount; ++i) {
        if (scale.outputs[i].name == name) {
            wl_output_destroy(scale.outputs[i].output);
            scale.outputs[i] = scale.outputs[--scale.outputCount];
            return;
        }
    }
}

// Outputs bound by others (libdecor's) are not found, and change nothing.
static void onEnter(void* data, wl_surface*, wl_output* output) {
    WaylandOutput* known = findOutput(*static_cast<WaylandScale*>(data), output);
    if (known) {
        known->entered = true;
    }
}

static void onLeave(void* data, wl_surface*, wl_output* output) {
    WaylandOutput* known = findOutput(*static_cast<WaylandScale*>(data), output);
    if (known) {
        known->entered = false;
    }
}

// The listener has the events of the headers built with; the compositor is
// bound at no higher version than they have (see onGlobal).
#ifdef WL_SURFACE_PREFERRED_BUFFER_SCALE_SINCE_VERSION
static void onPreferredBufferScale(void* data, wl_surface*, int32_t factor) {
    static_cast<WaylandScale*>(data)->preferredBufferScale = factor;
}

static void onPreferredBufferTransform(void*, wl_surface*, uint32_t) {}

static const wl_surface_listener surfaceListener = {onEnter, onLeave, onPreferredBufferScale,
                                                    onPreferredBufferTransform};
#else
static const wl_surface_listener surfaceListener = {onEnter, onLeave};
#endif

void watchSurfaceScale(WaylandScale& scale, wl_surface* surface) {
    wl_surface_add_listener(surface, &surfaceListener, &scale);
    if (!scale.fractionalManager || !scale.viewporter) {
        return;
    }
    scale.viewport = wp_viewporter_get_viewport(scale.viewporter, surface);
    wp_viewport_set_destination(scale.viewport, windowSide, windowSide);
    scale.fractional = wp_fractional_scale_manager_v1_get_fractional_scale(scale.fractionalManager, surface);
    wp_fractional_scale_v1_add_listener(scale.fractional, &fractionalListener, &scale);
}

// The scale in 120ths, as wantedBufferSide tells.
static uint32_t wantedScale120(const WaylandScale& scale) {
    if (scale.viewport && scale.preferredScale120 > 0) {
        return scale.preferredScale120;
    }
    if (scale.preferredBufferScale > 0) {
        return 120 * static_cast<uint32_t>(scale.preferredBufferScale);
    }
    int32_t largest = 1;
    int32_t largestEntered = 0;
    for (int i = 0; i < scale.outputCount; ++i) {
        const WaylandOutput& output = scale.outputs[i];
        largest = output.scale > largest ? output.scale : largest;
        if (output.entered && output.scale > largestEntered) {
            largestEntered = output.scale;
        }
    }
    return 120 * static_cast<uint32_t>(largestEntered > 0 ? largestEntered : largest);
}

int wantedBufferSide(const WaylandScale& scale) { return sideAtScale(wantedScale120(scale) / 120.0); }

int32_t wantedBufferScale(const WaylandScale& scale) {
    return scale.viewport ? 1 : static_cast<int32_t>(wantedScale120(scale) / 120);
}

void releaseScale(WaylandScale& scale) {
    release(scale.fractional, wp_fractional_scale_v1_destroy);
    release(scale.viewport, wp_viewport_destroy);
    release(scale.fractionalManager, wp_fractional_scale_manager_v1_destroy);
    release(scale.viewporter, wp_viewporter_destroy);
    for (int i = 0; i < scale.outputCount; ++i) {
        wl_output_destroy(scale.outputs[i].output);
    }
    scale.outputCount = 0;
    scale.preferredScale120 = 0;
    scale.preferredBufferScale = 0;
}
