#include "app/win32_platform.h"

#include <cstdio>

#include "app/wgl_context.h"
#include "app/win32_window.h"

PlatformWindow::PlatformWindow(HINSTANCE instance)
    : instance(instance), window(nullptr), deviceContext(nullptr), renderContext(nullptr) {}

// One line on stderr for a console that started the program, and the same in
// a message box for everyone else. Reads the failed call's last error first.
static void reportStartupFailure(const char* what) {
    unsigned long error = GetLastError();
    char line[160];
    snprintf(line, sizeof line, "drifton: %s (error %lu)", what, error);
    fprintf(stderr, "%s\n", line);
    fflush(stderr);
    MessageBoxA(nullptr, line, "drifton", MB_OK | MB_ICONERROR);
}

bool openWindow(PlatformWindow& window) {
    // The class is never unregistered: the process ends soon after.
    if (!registerWindowClass(window.instance)) {
        reportStartupFailure("cannot register the window class");
        return false;
    }
    window.window = createMainWindow(window.instance);
    if (window.window == nullptr) {
        reportStartupFailure("cannot create the window");
        return false;
    }
    const char* failure = createRenderContext(window.window, window.deviceContext, window.renderContext);
    if (failure != nullptr) {
        DWORD error = GetLastError();
        DestroyWindow(window.window);
        window.window = nullptr;
        SetLastError(error);
        reportStartupFailure(failure);
        return false;
    }
    // Frames are never cleared, so the trails need the last image after
    // every swap: the format's swap, the context's framebuffers or a kept
    // copy carry it, in the order the keeper settles.
    RECT client;
    GetClientRect(window.window, &client);
    window.trails.settle(swapKeepsOfFormat(window.deviceContext), false, lookUpWglProcedure,
                         client.right - client.left, client.bottom - client.top);
    return true;
}

bool takeEvent(PlatformWindow&, bool& quit, int& exitCode) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    }
    // The quit message ends the loop as it is: neither translated nor
    // dispatched, and its parameter is the exit code.
    if (message.message == WM_QUIT) {
        quit = true;
        exitCode = static_cast<int>(message.wParam);
        return true;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

void presentFrame(PlatformWindow& window) {
    // The format tells no buffer age: the keeper never asks for one here.
    window.trails.beforeSwap();
    SwapBuffers(window.deviceContext);
    window.trails.afterSwap(0);
}

void sleepMilliseconds(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

void closeWindow(PlatformWindow& window) {
    releaseRenderContext(window.window, window.deviceContext, window.renderContext);
    window.renderContext = nullptr;
    window.deviceContext = nullptr;
    DestroyWindow(window.window);
    window.window = nullptr;
    window.trails.release();
}

const Platform win32Platform = {openWindow, takeEvent, presentFrame, sleepMilliseconds, closeWindow};
