// Starts the real program, finds its window from outside and checks or acts
// on it, or reads the version information and icon that Explorer shows:
//   window_probe <path of drifton.exe> thread-quit|window
//   window_probe <path of drifton.exe> resources <version>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/Check.h"

// Generous, only so that a hung program cannot hang the suite.
static const DWORD waitMilliseconds = 60000;

struct Launched {
    PROCESS_INFORMATION process;
    HWND window;
};

static bool launch(const char* program, const char* arguments, Launched& launched) {
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
        HWND window = FindWindowA("drifton", "drifton");
        DWORD processId = 0;
        if (window != nullptr && GetWindowThreadProcessId(window, &processId) != 0 &&
            processId == launched.process.dwProcessId && IsWindowVisible(window)) {
            launched.window = window;
            return true;
        }
        if (WaitForSingleObject(launched.process.hProcess, 50) == WAIT_OBJECT_0) {
            printf("the program ended before its window appeared\n");
            return false;
        }
    }
    printf("no window of class and title \"drifton\" was shown\n");
    return false;
}

// The exit code, or -1 if the program is still running after the wait.
static long waitForExit(const Launched& launched) {
    if (WaitForSingleObject(launched.process.hProcess, waitMilliseconds) != WAIT_OBJECT_0) {
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
static void threadQuitGivesItsCode(const char* program) {
    Launched launched = {};
    if (!CHECK(launch(program, "", launched))) {
        cleanUp(launched);
        return;
    }
    CHECK(GetWindowThreadProcessId(launched.window, nullptr) == launched.process.dwThreadId);
    CHECK(PostThreadMessageA(launched.process.dwThreadId, WM_QUIT, 7, 0));
    long exitCode = waitForExit(launched);
    printf("exit code after the thread's quit message: %ld\n", exitCode);
    CHECK(exitCode == 7);
    cleanUp(launched);
}

// The window as created, whatever the command line says; then the close
// request ends the program with 0.
static void windowAsCreatedAndClosed(const char* program) {
    Launched launched = {};
    if (!CHECK(launch(program, "--help /? 100 200", launched))) {
        cleanUp(launched);
        return;
    }
    LONG style = GetWindowLongA(launched.window, GWL_STYLE);
    printf("window style 0x%08lX, class style 0x%08lX\n", static_cast<unsigned long>(style),
           GetClassLongA(launched.window, GCL_STYLE));
    // The system adds WS_CLIPSIBLINGS to every top-level window.
    const LONG tabled = static_cast<LONG>(0x90C80000u);
    CHECK((style & tabled) == tabled);
    CHECK((style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD)) == 0);
    CHECK(GetClassLongA(launched.window, GCL_STYLE) == CS_OWNDC);
    RECT outer = {};
    CHECK(GetWindowRect(launched.window, &outer));
    printf("window rectangle (%ld, %ld, %ld, %ld)\n", outer.left, outer.top, outer.right, outer.bottom);
    CHECK(outer.left == 0 && outer.top == 0 && outer.right == 600 && outer.bottom == 600);

    CHECK(PostMessageA(launched.window, WM_CLOSE, 0, 0));
    long exitCode = waitForExit(launched);
    printf("exit code after WM_CLOSE: %ld\n", exitCode);
    CHECK(exitCode == 0);
    cleanUp(launched);
}

// The version strings, read through the language and code page the resource
// names, as Explorer reads them; the numbers are the version's with a 0.
static void versionInformation(const char* program, const char* version) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(program, &ignored);
    if (!CHECK(size != 0)) {
        return;
    }
    std::vector<char> data(size);
    if (!CHECK(GetFileVersionInfoA(program, 0, size, data.data()))) {
        return;
    }
    void* value = nullptr;
    UINT length = 0;
    if (CHECK(VerQueryValueA(data.data(), "\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO))) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        char numbers[64];
        snprintf(numbers, sizeof numbers, "%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                 LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                 LOWORD(fixed->dwFileVersionLS));
        printf("file version %s\n", numbers);
        CHECK(std::string(numbers) == std::string(version) + ".0");
        CHECK(fixed->dwProductVersionMS == fixed->dwFileVersionMS &&
              fixed->dwProductVersionLS == fixed->dwFileVersionLS);
        CHECK(fixed->dwFileType == VFT_APP);
    }
    if (!CHECK(VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", &value, &length) && length >= 4)) {
        return;
    }
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
            CHECK(text[0] != '\0');
        } else if (name[1][expected - 1] == ' ') {
            CHECK(strncmp(text, name[1], expected) == 0 && text[expected] != '\0');
        } else {
            CHECK(strcmp(text, name[1]) == 0);
        }
    }
}

// The program's one icon, with an image at each size Windows shows it at,
// every one of which the system can read.
static void iconImages(const char* program) {
    CHECK(ExtractIconExA(program, -1, nullptr, nullptr, 0) == 1);
    HICON large = nullptr;
    if (CHECK(ExtractIconExA(program, 0, &large, nullptr, 1) == 1 && large != nullptr)) {
        DestroyIcon(large);
    }
    HMODULE module =
        LoadLibraryExA(program, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!CHECK(module != nullptr)) {
        return;
    }
    HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    const auto* directory =
        group ? static_cast<const BYTE*>(LockResource(LoadResource(module, group))) : nullptr;
    if (CHECK(directory != nullptr)) {
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
            CHECK(icon != nullptr && GetIconInfo(icon, &info) &&
                  GetObjectA(info.hbmColor, sizeof bitmap, &bitmap) == sizeof bitmap &&
                  bitmap.bmWidth == width && bitmap.bmHeight == width);
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(icon);
        }
        printf("icon sizes: %s\n", sizes.c_str());
        CHECK(sizes == "16 32 48 256");
    }
    FreeLibrary(module);
}

int main(int argc, char** argv) {
    if (argc == 4 && strcmp(argv[2], "resources") == 0) {
        versionInformation(argv[1], argv[3]);
        iconImages(argv[1]);
        return checkSummary("window_probe");
    }
    if (argc != 3) {
        printf("usage: window_probe <drifton.exe> thread-quit|window|resources <version>\n");
        return 2;
    }
    if (strcmp(argv[2], "thread-quit") == 0) {
        threadQuitGivesItsCode(argv[1]);
    } else if (strcmp(argv[2], "window") == 0) {
        windowAsCreatedAndClosed(argv[1]);
    } else {
        printf("unknown check %s\n", argv[2]);
        return 2;
    }
    return checkSummary("window_probe");
}
