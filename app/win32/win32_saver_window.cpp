#include "app/win32/win32_saver_window.h"

#include "app/WindowFacts.h"
#include "app/win32/win32_window.h"

static const char saverClassName[] = "drifton saver";
// How far the pointer may wander before it counts as the user coming back:
// a table's knock or a mouse's jitter moves it a pixel or two.
static const int pointerSlack = 4;

// Where the pointer was when the window appeared, in screen coordinates.
static POINT pointerAtStart = {};

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
