#include "app/win32/win32_saver_window.h"

#include "app/WindowFacts.h"
#include "app/win32/win32_window.h"

#include <cstdlib>

static const char saverClassName[] = "drifton saver";
// How far the pointer may wander before it counts as the user coming back:
// a table's knock or a mouse's jitter moves it a pixel or two.
static const int pointerSlack = 4;

// Where the pointer was when the window appeared, in screen coordinates.
static POINT pointerAtStart = {};
// Set when the monitors' layout changed, until followSaverShape follows it.
static bool displayChanged = false;

static bool pointerMovedAway(HWND window, LPARAM lParam) {
    POINT now = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(window, &now);
    int dx = now.x - pointerAtStart.x;
    int dy = now.y - pointerAtStart.y;
    return dx > pointerSlack || dx < -pointerSlack || dy > pointerSlack || dy < -pointerSlack;
}

LRESULT CALLBACK saverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        GetCursorPos(&pointerAtStart);
        return 0;
    case WM_DESTROY:
        // After the loop's end this quit is never read; before it, the
        // preview's parent took the window with it, and no frame may follow.
        PostQuitMessage(0);
        return 0;
    case WM_SETCURSOR:
        if ((GetWindowLongA(window, GWL_STYLE) & WS_CHILD) == 0) {
            SetCursor(nullptr);
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        if (pointerMovedAway(window, lParam)) {
            PostQuitMessage(0);
        }
        return 0;
    case WM_ACTIVATEAPP:
        if (wParam == FALSE) {
            PostQuitMessage(0);
        }
        return 0;
    case WM_DISPLAYCHANGE:
        displayChanged = true;
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_SCREENSAVE) {
            return 0;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool registerSaverClass(HINSTANCE instance) {
    return registerClassOf(instance, saverClassName, saverWindowProc, false);
}

HWND createSaverWindow(HINSTANCE instance, bool preview, HWND parent) {
    if (preview) {
        RECT area = {};
        GetClientRect(parent, &area);
        return CreateWindowExA(0, saverClassName, windowName, WS_CHILD | WS_VISIBLE | WS_DISABLED, 0, 0,
                               area.right, area.bottom, parent, nullptr, instance, nullptr);
    }
    return CreateWindowExA(WS_EX_TOPMOST, saverClassName, windowName, WS_POPUP | WS_VISIBLE,
                           GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                           GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN),
                           nullptr, nullptr, instance, nullptr);
}

// The monitors as areas of the window's client area, counted from its
// lower-left corner as OpenGL counts.
struct MonitorAreas {
    POINT origin;
    int clientHeight;
    WindowArea* areas;
    int count;
    int capacity;
};

static BOOL CALLBACK addMonitor(HMONITOR, HDC, LPRECT rect, LPARAM data) {
    MonitorAreas& list = *reinterpret_cast<MonitorAreas*>(data);
    if (list.count == list.capacity) {
        int capacity = list.capacity == 0 ? 4 : list.capacity * 2;
        void* grown = realloc(list.areas, sizeof(WindowArea) * capacity);
        if (!grown) {
            return FALSE;
        }
        list.areas = static_cast<WindowArea*>(grown);
        list.capacity = capacity;
    }
    list.areas[list.count++] = {rect->left - list.origin.x,
                                list.clientHeight - (rect->bottom - list.origin.y), rect->right - rect->left,
                                rect->bottom - rect->top};
    return TRUE;
}

void placeSaverPictures(PlatformWindow& window) {
    RECT client = {};
    GetClientRect(window.window, &client);
    if (window.kind == WindowKind::Preview) {
        window.trails.reshape(client.right, client.bottom);
        return;
    }
    MonitorAreas list = {{0, 0}, client.bottom, nullptr, 0, 0};
    ClientToScreen(window.window, &list.origin);
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&list));
    // Without the list, one picture centred on the whole window.
    window.trails.reshape(client.right, client.bottom, list.areas, list.count);
    free(list.areas);
}

void followSaverShape(PlatformWindow& window) {
    if (window.kind == WindowKind::Preview) {
        RECT area = {};
        RECT own = {};
        if (!GetClientRect(window.parent, &area) || !GetClientRect(window.window, &own) ||
            (area.right == own.right && area.bottom == own.bottom)) {
            return;
        }
        SetWindowPos(window.window, nullptr, 0, 0, area.right, area.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        if (!displayChanged) {
            return;
        }
        displayChanged = false;
        SetWindowPos(window.window, HWND_TOPMOST, GetSystemMetrics(SM_XVIRTUALSCREEN),
                     GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN),
                     GetSystemMetrics(SM_CYVIRTUALSCREEN), SWP_NOACTIVATE);
    }
    placeSaverPictures(window);
}
