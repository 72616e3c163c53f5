#include "app/win32/win32_window.h"

#include "app/WindowFacts.h"

// A popup with border and dialog frame, which together make a caption, and a
// system menu for the close box: no sizing border, no minimise or maximise box.
static const DWORD windowStyle = WS_POPUPWINDOW | WS_DLGFRAME | WS_VISIBLE;
static_assert(windowStyle == 0x90C80000, "popup, border, dialog frame, system menu, visible");

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
    case WM_DESTROY:
        // Nothing to set up or tear down here; destruction comes only from the
        // shutdown's DestroyWindow, after the loop ended, and posts no quit.
        return 0;
    case WM_CLOSE:
        // The window stays until shutdown destroys it.
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            PostQuitMessage(0);
        }
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool registerClassOf(HINSTANCE instance, const char* name, WNDPROC procedure, bool arrowCursor) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = procedure;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = arrowCursor ? LoadCursorA(nullptr, IDC_ARROW) : nullptr;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass) != 0;
}

bool registerWindowClass(HINSTANCE instance) {
    return registerClassOf(instance, windowName, windowProc, true);
}

HWND createMainWindow(HINSTANCE instance) {
    return CreateWindowExA(0, windowName, windowName, windowStyle, 0, 0, windowSide, windowSide, nullptr,
                           nullptr, instance, nullptr);
}
