#include "app/win32/win32_platform.h"

#include <cstdio>

#include "app/StartupFailure.h"
#include "app/WindowFacts.h"
#include "app/win32/wgl_context.h"
#include "app/win32/win32_saver_window.h"
#include "app/win32/win32_window.h"

PlatformWindow::PlatformWindow(HINSTANCE instance, WindowKind kind, HWND parent)
    : instance(instance), kind(kind), parent(parent), window(nullptr), deviceContext(nullptr),
      renderContext(nullptr) {}

// One line on stderr for a console that started the program, and the same in
// a message box for everyone else.
void showStartupFailure(const char* line) {
    fprintf(stderr, "%s\n", line);
    fflush(stderr);
    MessageBoxA(nullptr, line, windowName, MB_OK | MB_ICONERROR);
}

static bool openWin32Window(PlatformWindow& window) {
    const bool program = window.kind == WindowKind::Program;
    // The class is never unregistered: the process ends soon after.
    if (!(program ? registerWindowClass(window.instance) : registerSaverClass(window.instance))) {
        noteStartupFailure("cannot register the window class (error %lu)", GetLastError());
        return false;
    }
    window.window =
        program ? createMainWindow(window.instance)
                : createSaverWindow(window.instance, window.kind == WindowKind::Preview, window.parent);
    if (window.window == nullptr) {
        noteStartupFailure("cannot create the window (error %lu)", GetLastError());
        return false;
    }
    if (!createRenderContext(window.window, window.deviceContext, window.renderContext)) {
        DestroyWindow(window.window);
        window.window = nullptr;
        return false;
    }
    // Frames are never cleared, so the trails need the last image after
    // every swap: the format's swap, the context's framebuffers or a kept
    // copy carry it, in the order the keeper settles.
    RECT client;
    GetClientRect(window.window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (program) {
        window.trails.settle(swapKeepsOfFormat(window.deviceContext), false, lookUpWglProcedure, width,
                             height);
    } else {
        // The program's square picture, centred on black at the preview's
        // shorter side or at every monitor's.
        window.trails.settleCentred(swapKeepsOfFormat(window.deviceContext), false, lookUpWglProcedure, width,
                                    height);
        placeSaverPictures(window);
    }
    return true;
}

static bool takeWin32Event(PlatformWindow& window, bool& quit, int& exitCode) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        // Every message is handled: the saver's shape is followed before
        // the next frame.
        if (window.kind != WindowKind::Program) {
            followSaverShape(window);
        }
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

// The program's window is 600 pixels wide with its frame, drawn at the
// scale it has always had; the saver's picture at the side it is shown.
static int win32PictureSide(PlatformWindow& window) {
    return window.kind == WindowKind::Program ? windowSide : window.trails.pictureSide();
}

static void swapWin32Buffers(PlatformWindow& window) { SwapBuffers(window.deviceContext); }

// A pixel format tells no buffer age; the keeper, settled without one,
// never asks.
static unsigned int noBufferAge(PlatformWindow&) { return 0; }

static void presentWin32Frame(PlatformWindow& window) {
    window.trails.present(window, swapWin32Buffers, noBufferAge);
}

static void sleepMillisecondsWin32(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

static void closeWin32Window(PlatformWindow& window) {
    releaseRenderContext(window.window, window.deviceContext, window.renderContext);
    window.renderContext = nullptr;
    window.deviceContext = nullptr;
    DestroyWindow(window.window);
    window.window = nullptr;
    window.trails.release();
}

const Platform win32Platform = {openWin32Window,   takeWin32Event,         win32PictureSide,
                                presentWin32Frame, sleepMillisecondsWin32, closeWin32Window};
