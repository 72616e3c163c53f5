#include "app/ExtensionList.h"

#include <cstring>

bool listsExtension(const char* extensions, const char* name) {
    if (!extensions) {
        return false;
    }
    size_t length = strlen(name);
    const char* at = extensions;
    while ((at = strstr(at, name)) != nullptr) {
        bool startsWord = at == extensions || at[-1] == ' ';
        bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord) {
            return true;
        }
        at += length;
    }
    return false;
}
