#include "app/Platform.h"

#include "app/StartupFailure.h"

const Platform* openPlatformWindow(const Platform* const platforms[], PlatformWindow& window) {
    for (int i = 0; platforms[i]; ++i) {
        if (platforms[i]->openWindow(window)) {
            // What the platforms before it could not do is no longer news.
            forgetStartupFailures();
            return platforms[i];
        }
    }
    reportStartupFailures();
    return nullptr;
}
