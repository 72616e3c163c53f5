// The window procedure and the event pump, driven in-process on a real
// window of the program's class.
#include <gtest/gtest.h>

#include <cstring>

#include "app/Platform.h"
#include "app/win32/win32_platform.h"
#include "app/win32/win32_window.h"

// Handles everything pending, so that each case starts from an empty queue.
static void drainQueue() {
    MSG message;
    for (int i = 0; i < 1000 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (message.message != WM_QUIT) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

// Removes a pending quit message, if there is one, and gives its parameter.
static bool takeQuit(WPARAM& code) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        return false;
    }
    code = message.wParam;
    return true;
}

// The program's class, registered once for every case that runs here.
static HINSTANCE registeredInstance() {
    static HINSTANCE instance = GetModuleHandleA(nullptr);
    static bool registered = registerWindowClass(instance);
    EXPECT_TRUE(registered);
    return instance;
}

static HWND openTestWindow(HINSTANCE instance) {
    HWND window = createMainWindow(instance);
    drainQueue();
    return window;
}

TEST(WindowProc, KeysOtherThanEscapeAreSwallowed) {
    HWND window = openTestWindow(registeredInstance());
    const WPARAM keys[] = {'A', VK_SPACE, VK_RETURN, VK_F1, VK_F4, VK_MENU, VK_TAB};
    for (WPARAM key : keys) {
        EXPECT_TRUE(SendMessageA(window, WM_KEYDOWN, key, 0) == 0);
    }
    WPARAM code = 99;
    EXPECT_TRUE(!takeQuit(code));
    EXPECT_TRUE(IsWindow(window));
    DestroyWindow(window);
    drainQueue();
}

TEST(WindowProc, EscapeAndCloseRequestPostQuitZero) {
    HWND window = openTestWindow(registeredInstance());
    WPARAM code = 99;
    EXPECT_TRUE(SendMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0) == 0);
    EXPECT_TRUE(takeQuit(code) && code == 0);

    // The close request leaves the window to the shutdown.
    code = 99;
    EXPECT_TRUE(SendMessageA(window, WM_CLOSE, 0, 0) == 0);
    EXPECT_TRUE(takeQuit(code) && code == 0);
    EXPECT_TRUE(IsWindow(window));

    // Destruction comes only at shutdown and posts nothing.
    DestroyWindow(window);
    EXPECT_TRUE(!IsWindow(window));
    code = 99;
    EXPECT_TRUE(!takeQuit(code));
    drainQueue();
}

TEST(WindowProc, OtherMessagesGetTheDefaultHandling) {
    HWND window = openTestWindow(registeredInstance());
    char title[32] = {};
    EXPECT_TRUE(GetWindowTextA(window, title, sizeof title) == 7 && strcmp(title, "drifton") == 0);
    EXPECT_TRUE(SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("renamed")) == TRUE);
    EXPECT_TRUE(GetWindowTextA(window, title, sizeof title) == 7 && strcmp(title, "renamed") == 0);
    DestroyWindow(window);
    drainQueue();
}

static UINT seenMessages[256];
static int seenCount = 0;

// Sees every message the pump takes off the queue.
static LRESULT CALLBACK recordTakenMessage(int code, WPARAM wParam, LPARAM lParam) {
    // The hook's parameter is the message, passed as an integer.
    const MSG* message = reinterpret_cast<const MSG*>(lParam);  // NOLINT(performance-no-int-to-ptr)
    if (code == HC_ACTION && wParam == PM_REMOVE && seenCount < 256) {
        seenMessages[seenCount++] = message->message;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

static bool seen(UINT message) {
    for (int i = 0; i < seenCount; ++i) {
        if (seenMessages[i] == message) {
            return true;
        }
    }
    return false;
}

TEST(WindowProc, TakeEventPumpsOneMessageAtATime) {
    PlatformWindow platform(registeredInstance());
    platform.window = openTestWindow(platform.instance);
    bool quit = false;
    int exitCode = -1;
    EXPECT_TRUE(!win32Platform.takeEvent(platform, quit, exitCode));
    EXPECT_TRUE(!quit && exitCode == -1);

    // Every pending message is one event; only an empty queue lets a frame in.
    for (int i = 0; i < 5; ++i) {
        PostMessageA(platform.window, WM_USER + 1, 0, 0);
    }
    int taken = 0;
    while (taken < 10 && win32Platform.takeEvent(platform, quit, exitCode)) {
        ++taken;
    }
    EXPECT_TRUE(taken == 5);
    EXPECT_TRUE(!quit);

    // Keys are translated before they are dispatched: the Escape key-down
    // reaches the window procedure, and its character message follows.
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, recordTakenMessage, nullptr, GetCurrentThreadId());
    seenCount = 0;
    PostMessageA(platform.window, WM_KEYDOWN, 'A', 0);
    PostMessageA(platform.window, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(platform.window, WM_KEYDOWN, VK_ESCAPE, 0);
    taken = 0;
    while (taken < 20 && !quit && win32Platform.takeEvent(platform, quit, exitCode)) {
        ++taken;
    }
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(quit && exitCode == 0);
    EXPECT_TRUE(seen(WM_KEYDOWN) && seen(WM_CHAR));
    EXPECT_TRUE(IsWindow(platform.window));
    DestroyWindow(platform.window);
    platform.window = nullptr;
    drainQueue();
}

TEST(WindowProc, TakeEventEndsWithTheQuitMessagesCode) {
    PlatformWindow platform(registeredInstance());
    drainQueue();
    bool quit = false;
    int exitCode = -1;
    PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 7, 0);
    EXPECT_TRUE(win32Platform.takeEvent(platform, quit, exitCode));
    EXPECT_TRUE(quit && exitCode == 7);
    EXPECT_TRUE(!win32Platform.takeEvent(platform, quit, exitCode));
}
