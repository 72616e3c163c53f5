// Starts the real program, finds its window from outside and checks or acts
// on it, or reads the version information and icon that Explorer shows:
//   window_probe --gtest_filter=Program.CASE <path of drifton.exe> [version]
// or prints the monitors as the system lays them out, each as WIDTHxHEIGHT+X+Y:
//   window_probe --monitors
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// Generous, only so that a hung program cannot hang the suite.
static const DWORD waitMilliseconds = 60000;

// The program under test and its version, from the command line.
static const char* program = "";
static const char* version = "";

struct Launched {
    PROCESS_INFORMATION process;
    HWND window;
};

// Waits at most `milliseconds` for the program to end, handling this
// thread's messages meanwhile: a box the program owns by a window of ours
// disables and enables it through them. True once it has ended.
static bool waitWhilePumping(const Launched& launched, DWORD milliseconds) {
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        if (MsgWaitForMultipleObjects(1, &launched.process.hProcess, FALSE, 50, QS_ALLINPUT) ==
            WAIT_OBJECT_0) {
            return true;
        }
    } while (GetTickCount() - start < milliseconds);
    return false;
}

// Starts the program and waits for its visible window of that class titled
// "drifton", among the top-level windows or the children of `parent`.
static bool launch(const char* program, const char* arguments, Launched& launched,
                   const char* className = "drifton", HWND parent = nullptr) {
    char commandLine[1024];
    snprintf(commandLine, sizeof commandLine, "\"%s\" %s", program, arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &launched.process)) {
        printf("cannot start %s (error %lu)\n", program, GetLastError());
        return false;
    }
    // Only a window of the process just started counts, and only once it is
    // shown: it can be found by its name while it is still being created,
    // before its final style is set.
    for (DWORD waited = 0; waited < waitMilliseconds; waited += 50) {
        HWND window = FindWindowExA(parent, nullptr, className, "drifton");
        DWORD processId = 0;
        if (window != nullptr && GetWindowThreadProcessId(window, &processId) != 0 &&
            processId == launched.process.dwProcessId && IsWindowVisible(window)) {
            launched.window = window;
            return true;
        }
        if (waitWhilePumping(launched, 50)) {
            printf("the program ended before its window appeared\n");
            return false;
        }
    }
    printf("no window of class %s titled \"drifton\" was shown\n", className);
    return false;
}

// The exit code, or -1 if the program is still running after the wait.
static long waitForExit(const Launched& launched) {
    if (!waitWhilePumping(launched, waitMilliseconds)) {
        return -1;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(launched.process.hProcess, &exitCode);
    return static_cast<long>(exitCode);
}

// Ends the program if it is still there, whatever happened before.
static void cleanUp(Launched& launched) {
    if (launched.process.hProcess == nullptr) {
        return;
    }
    if (WaitForSingleObject(launched.process.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(launched.process.hProcess, 99);
        WaitForSingleObject(launched.process.hProcess, waitMilliseconds);
    }
    CloseHandle(launched.process.hThread);
    CloseHandle(launched.process.hProcess);
}

// A quit message posted to the program's thread ends it with its parameter.
TEST(Program, ThreadQuitGivesItsCode) {
    Launched launched = {};
    if (!launch(program, "", launched)) {
        cleanUp(launched);
        FAIL();
    }
    EXPECT_TRUE(GetWindowThreadProcessId(launched.window, nullptr) == launched.process.dwThreadId);
    EXPECT_TRUE(PostThreadMessageA(launched.process.dwThreadId, WM_QUIT, 7, 0));
    long exitCode = waitForExit(launched);
    printf("exit code after the thread's quit message: %ld\n", exitCode);
    EXPECT_TRUE(exitCode == 7);
    cleanUp(launched);
}

// The window as created, whatever the command line says; then the close
// request ends the program with 0.
TEST(Program, WindowAsCreatedAndClosed) {
    Launched launched = {};
    if (!launch(program, "--help /? 100 200", launched)) {
        cleanUp(launched);
        FAIL();
    }
    LONG style = GetWindowLongA(launched.window, GWL_STYLE);
    printf("window style 0x%08lX, class style 0x%08lX\n", static_cast<unsigned long>(style),
           GetClassLongA(launched.window, GCL_STYLE));
    // The system adds WS_CLIPSIBLINGS to every top-level window.
    const LONG tabled = static_cast<LONG>(0x90C80000u);
    EXPECT_TRUE((style & tabled) == tabled);
    EXPECT_TRUE((style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD)) == 0);
    EXPECT_TRUE(GetClassLongA(launched.window, GCL_STYLE) == CS_OWNDC);
    RECT outer = {};
    EXPECT_TRUE(GetWindowRect(launched.window, &outer));
    printf("window rectangle (%ld, %ld, %ld, %ld)\n", outer.left, outer.top, outer.right, outer.bottom);
    EXPECT_TRUE(outer.left == 0 && outer.top == 0 && outer.right == 600 && outer.bottom == 600);

    EXPECT_TRUE(PostMessageA(launched.window, WM_CLOSE, 0, 0));
    long exitCode = waitForExit(launched);
    printf("exit code after WM_CLOSE: %ld\n", exitCode);
    EXPECT_TRUE(exitCode == 0);
    cleanUp(launched);
}

// The version strings, read through the language and code page the resource
// names, as Explorer reads them; the numbers are the version's with a 0.
TEST(Program, VersionInformation) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(program, &ignored);
    ASSERT_NE(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(program, 0, size, data.data()));
    void* value = nullptr;
    UINT length = 0;
    const bool fixedRead =
        VerQueryValueA(data.data(), "\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO);
    EXPECT_TRUE(fixedRead);
    if (fixedRead) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        char numbers[64];
        snprintf(numbers, sizeof numbers, "%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                 LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                 LOWORD(fixed->dwFileVersionLS));
        printf("file version %s\n", numbers);
        EXPECT_TRUE(std::string(numbers) == std::string(version) + ".0");
        EXPECT_TRUE(fixed->dwProductVersionMS == fixed->dwFileVersionMS &&
                    fixed->dwProductVersionLS == fixed->dwFileVersionLS);
        EXPECT_TRUE(fixed->dwFileType == VFT_APP);
    }
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", &value, &length) && length >= 4);
    const auto* translation = static_cast<const WORD*>(value);
    const char* const names[][2] = {
        {"ProductName", "drifton"},  {"ProductVersion", version},
        {"FileVersion", version},    {"OriginalFilename", "drifton.exe"},
        {"InternalName", "drifton"}, {"CompanyName", ""},
        {"FileDescription", ""},     {"LegalCopyright", "Copyright "},
    };
    for (const auto& name : names) {
        char path[128];
        snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1],
                 name[0]);
        const char* text = "";
        if (VerQueryValueA(data.data(), path, &value, &length) && length > 0) {
            text = static_cast<const char*>(value);
        }
        printf("%s: %s\n", name[0], text);
        // An empty expectation asks for some text; one ending in a space
        // for text that starts with it.
        const size_t expected = strlen(name[1]);
        if (expected == 0) {
            EXPECT_TRUE(text[0] != '\0');
        } else if (name[1][expected - 1] == ' ') {
            EXPECT_TRUE(strncmp(text, name[1], expected) == 0 && text[expected] != '\0');
        } else {
            EXPECT_TRUE(strcmp(text, name[1]) == 0);
        }
    }
}

// The program's one icon, with an image at each size Windows shows it at,
// every one of which the system can read.
TEST(Program, IconImages) {
    EXPECT_TRUE(ExtractIconExA(program, -1, nullptr, nullptr, 0) == 1);
    HICON large = nullptr;
    EXPECT_TRUE(ExtractIconExA(program, 0, &large, nullptr, 1) == 1 && large != nullptr);
    if (large != nullptr) {
        DestroyIcon(large);
    }
    HMODULE module =
        LoadLibraryExA(program, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    const auto* directory =
        group ? static_cast<const BYTE*>(LockResource(LoadResource(module, group))) : nullptr;
    ASSERT_NE(directory, nullptr);
    // A 6-byte header whose last word counts the 14-byte entries; an
    // entry starts with the width (0 for 256) and ends with the image's
    // resource number.
    WORD count = 0;
    memcpy(&count, directory + 4, sizeof count);
    std::string sizes;
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = directory + 6 + size_t{14} * i;
        const int width = entry[0] == 0 ? 256 : entry[0];
        WORD id = 0;
        memcpy(&id, entry + 12, sizeof id);
        sizes += (sizes.empty() ? "" : " ") + std::to_string(width);
        HRSRC image = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3));  // RT_ICON
        HICON icon = nullptr;
        if (image != nullptr) {
            icon = CreateIconFromResourceEx(static_cast<BYTE*>(LockResource(LoadResource(module, image))),
                                            SizeofResource(module, image), TRUE, 0x00030000, 0, 0,
                                            LR_DEFAULTCOLOR);
        }
        ICONINFO info = {};
        BITMAP bitmap = {};
        EXPECT_TRUE(icon != nullptr && GetIconInfo(icon, &info) &&
                    GetObjectA(info.hbmColor, sizeof bitmap, &bitmap) == sizeof bitmap &&
                    bitmap.bmWidth == width && bitmap.bmHeight == width);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    printf("icon sizes: %s\n", sizes.c_str());
    EXPECT_TRUE(sizes == "16 32 48 256");
    FreeLibrary(module);
}

// The saver's manifest, resource 1 of type 24, which the system reads as it
// starts a program, declares it aware of each monitor's DPI; the program has
// none. (Wine makes every program aware: only the declaration can be seen.)
TEST(Program, ManifestOnlyForTheSaver) {
    HMODULE module =
        LoadLibraryExA(program, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    const std::string manifest(
        found ? static_cast<const char*>(LockResource(LoadResource(module, found))) : "",
        found ? SizeofResource(module, found) : 0);
    EXPECT_EQ(manifest.find(">PerMonitorV2,PerMonitor</dpiAwareness>") != std::string::npos,
              strstr(program, ".scr") != nullptr);
    FreeLibrary(module);
}

// A plain visible window of this process, for the saver to be shown over,
// inside or owned by.
static HWND hostWindow(int x, int y, int width, int height) {
    return CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr, nullptr,
                           nullptr, nullptr);
}

// The saver's argument `option` followed by a window handle in decimal.
static void withHandle(char* text, size_t size, const char* option, HWND window) {
    snprintf(text, size, "%s%llu", option,
             static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
}

// The saver over the whole screen, above everything, until another window
// becomes active.
TEST(Saver, FullScreenUntilAnotherWindowIsActive) {
    Launched launched = {};
    if (!launch(program, "/s", launched, "drifton saver")) {
        cleanUp(launched);
        FAIL();
    }
    RECT outer = {};
    GetWindowRect(launched.window, &outer);
    printf("%d monitors; saver window (%ld, %ld, %ld, %ld)\n", GetSystemMetrics(SM_CMONITORS), outer.left,
           outer.top, outer.right, outer.bottom);
    const RECT screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                         GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    EXPECT_TRUE(EqualRect(&outer, &screen));
    EXPECT_NE(GetWindowLongA(launched.window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetWindowLongA(launched.window, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_CHILD), 0);

    HWND other = hostWindow(10, 10, 100, 100);
    SetForegroundWindow(other);
    EXPECT_EQ(waitForExit(launched), 0);
    DestroyWindow(other);
    cleanUp(launched);
}

// The preview fills the client area of a window of another process, as of
// the settings dialog's little monitor, and ends when that window goes.
TEST(Saver, PreviewInsideAnotherProcessesWindow) {
    HWND host = hostWindow(100, 100, 320, 240);
    char arguments[64];
    withHandle(arguments, sizeof arguments, "/p ", host);
    Launched launched = {};
    if (!launch(program, arguments, launched, "drifton saver", host)) {
        cleanUp(launched);
        FAIL();
    }
    RECT area = {};
    GetClientRect(launched.window, &area);
    EXPECT_TRUE(area.right == 320 && area.bottom == 240);
    EXPECT_EQ(GetWindowLongA(launched.window, GWL_STYLE) & (WS_CHILD | WS_DISABLED), WS_CHILD | WS_DISABLED);
    DestroyWindow(host);
    EXPECT_EQ(waitForExit(launched), 0);
    cleanUp(launched);
}

// The settings, asked for or by no argument at all, and what is not
// understood: each a box of the saver's, owned by the window given.
TEST(Saver, BoxesForSettingsAndUnknownArguments) {
    HWND owner = hostWindow(0, 0, 100, 100);
    char settings[64];
    withHandle(settings, sizeof settings, "/c:", owner);
    struct Case {
        const char* arguments;
        HWND owner;
        const char* text;
        long exitCode;
    };
    const Case cases[] = {
        {settings, owner, "drifton has no settings.", 0},
        {"", nullptr, "drifton has no settings.", 0},
        {"/sx 12", nullptr, "drifton does not understand \"/sx 12\".", 1},
    };
    for (const Case& box : cases) {
        Launched launched = {};
        EXPECT_TRUE(launch(program, box.arguments, launched, "#32770")) << box.arguments;
        char text[256] = {};
        GetDlgItemTextA(launched.window, 0xFFFF, text, sizeof text);
        EXPECT_STREQ(text, box.text);
        EXPECT_EQ(GetWindow(launched.window, GW_OWNER), box.owner);
        PostMessageA(launched.window, WM_CLOSE, 0, 0);
        EXPECT_EQ(waitForExit(launched), box.exitCode) << box.arguments;
        cleanUp(launched);
    }
    DestroyWindow(owner);
}

// The program to start or read comes after GoogleTest's own options, and
// the version after it for the resources' cases.
static BOOL CALLBACK printMonitor(HMONITOR, HDC, LPRECT area, LPARAM) {
    printf("%ldx%ld+%ld+%ld\n", area->right - area->left, area->bottom - area->top, area->left, area->top);
    return TRUE;
}

int main(int argc, char** argv) {
    if (argc == 2 && strcmp(argv[1], "--monitors") == 0) {
        return EnumDisplayMonitors(nullptr, nullptr, printMonitor, 0) ? 0 : 1;
    }
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        printf("usage: window_probe [--gtest_filter=CASES] <drifton.exe> [version]\n");
        return 2;
    }
    program = argv[1];
    version = argc > 2 ? argv[2] : "";
    return RUN_ALL_TESTS();
}
