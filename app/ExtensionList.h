#pragma once

// Whether a space-separated extension list, as GLX and EGL give them, names
// the extension exactly (not merely as the start of a longer name).
bool listsExtension(const char* extensions, const char* name);
