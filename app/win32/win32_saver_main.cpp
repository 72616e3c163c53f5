// drifton.scr: the program as a Windows screen saver. The host names what it
// wants in one argument, a letter after / or - in either case, then for some
// a window handle in decimal after a colon or white space: /s the saver over
// every monitor, /p HWND the preview inside that window, /c [HWND] or nothing
// at all the settings, which drifton does not have.
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "app/Shell.h"
#include "app/WindowFacts.h"
#include "app/win32/win32_platform.h"

struct Request {
    char letter;  // 0 when there is no argument; '?' when it is not understood
    HWND window;
};

static const char* skipSpaces(const char* text) {
    while (*text == ' ' || *text == '\t') {
        ++text;
    }
    return text;
}

static Request parseRequest(const char* commandLine) {
    const char* text = skipSpaces(commandLine);
    if (*text == '\0') {
        return {0, nullptr};
    }
    Request unknown = {'?', nullptr};
    if ((text[0] != '/' && text[0] != '-') || !isalpha(static_cast<unsigned char>(text[1]))) {
        return unknown;
    }
    Request request = {static_cast<char>(tolower(static_cast<unsigned char>(text[1]))), nullptr};
    text += 2;
    if (*text == ':') {
        ++text;
    } else if (*text != '\0' && *text != ' ' && *text != '\t') {
        return unknown;
    }
    text = skipSpaces(text);
    if (isdigit(static_cast<unsigned char>(*text))) {
        char* end = nullptr;
        request.window = reinterpret_cast<HWND>(static_cast<uintptr_t>(strtoull(text, &end, 10)));
        text = end;
    }
    if (*skipSpaces(text) != '\0') {
        return unknown;
    }
    return request;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    Request request = parseRequest(commandLine);
    WindowKind kind = WindowKind::Program;
    if (request.letter == 's' && request.window == nullptr) {
        kind = WindowKind::FullScreen;
    } else if (request.letter == 'p' && request.window != nullptr) {
        kind = WindowKind::Preview;
    } else if (request.letter == 0 || request.letter == 'c') {
        MessageBoxA(request.window, "drifton has no settings.", windowName, MB_OK | MB_ICONINFORMATION);
        return 0;
    } else {
        char text[1100];
        snprintf(text, sizeof text, "drifton does not understand \"%s\".", skipSpaces(commandLine));
        MessageBoxA(nullptr, text, windowName, MB_OK | MB_ICONERROR);
        return 1;
    }
    static const Platform* const platforms[] = {&win32Platform, nullptr};
    PlatformWindow window(instance, kind, request.window);
    return runShell(platforms, window);
}
