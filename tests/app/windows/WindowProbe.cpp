// Starts the real program, finds its window from outside and checks or acts
// on it: window_probe <path of drifton.exe> thread-quit|window
#include <windows.h>

#include <cstdio>
#include <cstring>

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
    // Only a window of the process just started counts.
    for (DWORD waited = 0; waited < waitMilliseconds; waited += 50) {
        HWND window = FindWindowA("drifton", "drifton");
        DWORD processId = 0;
        if (window != nullptr && GetWindowThreadProcessId(window, &processId) != 0 &&
            processId == launched.process.dwProcessId) {
            launched.window = window;
            return true;
        }
        if (WaitForSingleObject(launched.process.hProcess, 50) == WAIT_OBJECT_0) {
            printf("the program ended before its window appeared\n");
            return false;
        }
    }
    printf("no window of class and title \"drifton\" appeared\n");
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
    CHECK(IsWindowVisible(launched.window));
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

int main(int argc, char** argv) {
    if (argc != 3) {
        printf("usage: window_probe <drifton.exe> thread-quit|window\n");
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
