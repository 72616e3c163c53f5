// Start-up that fails at one step: startup_failure_test <step> <stderr file>,
// where step is register, window, choose, set, create or current. The real program code
// runs; the calls it makes into user32, gdi32 and opengl32 go through
// stand-ins that forward to the real ones, count the acquisitions and
// releases, and fail at the chosen step as the system would.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "app/Shell.h"
#include "app/win32/win32_platform.h"

static const char* failingStep = "";
static bool failsAt(const char* step) { return strcmp(failingStep, step) == 0; }

static int deviceContextsTaken = 0;
static int deviceContextsReleased = 0;
static int renderContextsCreated = 0;
static int renderContextsDeleted = 0;
static HWND createdWindow = nullptr;

template <typename Function>
static Function real(const char* module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(LoadLibraryA(module), name)));
}

static HWND WINAPI createWindowStandIn(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x,
                                       int y, int width, int height, HWND parent, HMENU menu,
                                       HINSTANCE instance, LPVOID parameter) {
    if (failsAt("window")) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    createdWindow = real<decltype(&CreateWindowExA)>("user32.dll", "CreateWindowExA")(
        exStyle, className, title, style, x, y, width, height, parent, menu, instance, parameter);
    return createdWindow;
}

static HDC WINAPI getDCStandIn(HWND window) {
    HDC context = real<decltype(&GetDC)>("user32.dll", "GetDC")(window);
    if (context != nullptr) {
        ++deviceContextsTaken;
    }
    return context;
}

static int WINAPI releaseDCStandIn(HWND window, HDC context) {
    ++deviceContextsReleased;
    return real<decltype(&ReleaseDC)>("user32.dll", "ReleaseDC")(window, context);
}

static int WINAPI choosePixelFormatStandIn(HDC context, const PIXELFORMATDESCRIPTOR* request) {
    if (failsAt("choose")) {
        SetLastError(ERROR_INVALID_PIXEL_FORMAT);
        return 0;
    }
    return real<decltype(&ChoosePixelFormat)>("gdi32.dll", "ChoosePixelFormat")(context, request);
}

static BOOL WINAPI setPixelFormatStandIn(HDC context, int format, const PIXELFORMATDESCRIPTOR* request) {
    if (failsAt("set")) {
        SetLastError(ERROR_INVALID_PIXEL_FORMAT);
        return FALSE;
    }
    return real<decltype(&SetPixelFormat)>("gdi32.dll", "SetPixelFormat")(context, format, request);
}

static HGLRC WINAPI createContextStandIn(HDC context) {
    if (failsAt("create")) {
        SetLastError(ERROR_INVALID_PIXEL_FORMAT);
        return nullptr;
    }
    HGLRC created = real<decltype(&wglCreateContext)>("opengl32.dll", "wglCreateContext")(context);
    if (created != nullptr) {
        ++renderContextsCreated;
    }
    return created;
}

static BOOL WINAPI deleteContextStandIn(HGLRC context) {
    ++renderContextsDeleted;
    return real<decltype(&wglDeleteContext)>("opengl32.dll", "wglDeleteContext")(context);
}

static BOOL WINAPI makeCurrentStandIn(HDC deviceContext, HGLRC renderContext) {
    if (failsAt("current") && renderContext != nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return real<decltype(&wglMakeCurrent)>("opengl32.dll", "wglMakeCurrent")(deviceContext, renderContext);
}

// The import slots the program's calls go through; defined here, they take
// the place of those in the import libraries.
extern "C" {
decltype(&CreateWindowExA) __imp_CreateWindowExA = createWindowStandIn;
decltype(&GetDC) __imp_GetDC = getDCStandIn;
decltype(&ReleaseDC) __imp_ReleaseDC = releaseDCStandIn;
decltype(&ChoosePixelFormat) __imp_ChoosePixelFormat = choosePixelFormatStandIn;
decltype(&SetPixelFormat) __imp_SetPixelFormat = setPixelFormatStandIn;
decltype(&wglCreateContext) __imp_wglCreateContext = createContextStandIn;
decltype(&wglDeleteContext) __imp_wglDeleteContext = deleteContextStandIn;
decltype(&wglMakeCurrent) __imp_wglMakeCurrent = makeCurrentStandIn;
}

static char boxText[256];
static int boxesSeen = 0;
static bool programWindowSeen = false;
static DWORD programWindowSince = 0;

static BOOL CALLBACK findStaticText(HWND child, LPARAM) {
    char className[32] = {};
    char text[256] = {};
    GetClassNameA(child, className, sizeof className);
    if (_stricmp(className, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0) {
        strcpy(boxText, text);
    }
    return TRUE;
}

static BOOL CALLBACK dismissOwnWindow(HWND window, LPARAM) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != GetCurrentProcessId() || !IsWindowVisible(window)) {
        return TRUE;
    }
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") == 0) {
        // The message box: read what it says, then answer it.
        EnumChildWindows(window, findStaticText, 0);
        ++boxesSeen;
        PostMessageA(window, WM_CLOSE, 0, 0);
    } else if (strcmp(className, "drifton") == 0) {
        // The failed start-up destroys its window at once; one that stays
        // means start-up went through after all: end the program's loop.
        if (programWindowSince == 0) {
            programWindowSince = GetTickCount();
        } else if (GetTickCount() - programWindowSince > 10000) {
            programWindowSeen = true;
            PostMessageA(window, WM_CLOSE, 0, 0);
        }
    }
    return TRUE;
}

// Stands in for the person who reads and closes the message box.
static DWORD WINAPI watch(LPVOID finished) {
    while (WaitForSingleObject(static_cast<HANDLE>(finished), 50) == WAIT_TIMEOUT) {
        EnumWindows(dismissOwnWindow, 0);
    }
    return 0;
}

static void readLines(const char* path, char* first, size_t size, int& lines) {
    lines = 0;
    first[0] = '\0';
    FILE* file = fopen(path, "r");
    if (file == nullptr) {
        return;
    }
    char line[256];
    while (fgets(line, sizeof line, file) != nullptr) {
        if (lines++ == 0) {
            line[strcspn(line, "\r\n")] = '\0';
            snprintf(first, size, "%s", line);
        }
    }
    fclose(file);
}

struct Step {
    const char* name;
    const char* line;
};
static const Step steps[] = {
    {"register", "drifton: cannot register the window class (error 1410)"},
    {"window", "drifton: cannot create the window (error 8)"},
    {"choose", "drifton: cannot choose a pixel format (error 2000)"},
    {"set", "drifton: cannot set the pixel format (error 2000)"},
    {"create", "drifton: cannot create the OpenGL context (error 2000)"},
    {"current", "drifton: cannot make the OpenGL context current (error 6)"},
};
static const Step* step = nullptr;
static const char* stderrPath = "";

TEST(StartupFailure, ShowsOneLineAndReleasesWhatItObtained) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (failsAt("register")) {
        // Taken already, so the program's own registration fails for real.
        WNDCLASSA taken = {};
        taken.lpfnWndProc = DefWindowProcA;
        taken.hInstance = instance;
        taken.lpszClassName = "drifton";
        RegisterClassA(&taken);
    }

    fflush(stderr);
    freopen(stderrPath, "w", stderr);
    HANDLE finished = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE watcher = CreateThread(nullptr, 0, watch, finished, 0, nullptr);
    int exitCode;
    {
        PlatformWindow window(instance);
        const Platform* const platforms[] = {&win32Platform, nullptr};
        exitCode = runShell(platforms, window);
    }
    SetEvent(finished);
    WaitForSingleObject(watcher, INFINITE);
    fclose(stderr);

    printf("failing at %s: exit code %d, message box \"%s\"\n", step->name, exitCode, boxText);
    EXPECT_FALSE(programWindowSeen);
    EXPECT_EQ(exitCode, 1);
    EXPECT_EQ(boxesSeen, 1);
    EXPECT_STREQ(boxText, step->line);
    char firstLine[256];
    int lines = 0;
    readLines(stderrPath, firstLine, sizeof firstLine, lines);
    EXPECT_EQ(lines, 1);
    EXPECT_STREQ(firstLine, step->line);

    // Whatever was obtained before the failure is released again.
    EXPECT_TRUE(createdWindow == nullptr || !IsWindow(createdWindow));
    EXPECT_EQ(FindWindowA("drifton", nullptr), nullptr);
    EXPECT_EQ(deviceContextsTaken, deviceContextsReleased);
    EXPECT_EQ(renderContextsCreated, renderContextsDeleted);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    if (failsAt("current")) {
        EXPECT_EQ(renderContextsCreated, 1);
    }
    if (failsAt("choose") || failsAt("set") || failsAt("create") || failsAt("current")) {
        EXPECT_TRUE(deviceContextsTaken == 1 && createdWindow != nullptr);
    }
}

// The step and the file that takes the program's stderr come after
// GoogleTest's own options.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (const Step& candidate : steps) {
        if (argc == 3 && strcmp(argv[1], candidate.name) == 0) {
            step = &candidate;
        }
    }
    if (step == nullptr) {
        printf("usage: startup_failure_test register|window|choose|set|create|current <stderr file>\n");
        return 2;
    }
    failingStep = step->name;
    stderrPath = argv[2];
    return RUN_ALL_TESTS();
}
