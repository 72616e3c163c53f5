#pragma once

// How well a framebuffer configuration suits the window, as GLX and EGL list
// them: one value a criterion, lower is better, compared in the order the
// criteria were added.
struct ConfigRank {
    ConfigRank() : count(0), values() {}

    // Adds the next criterion: 0 for the best, higher for worse.
    void add(int value) { values[count++] = value; }

    // Adds a criterion that the configuration meets or not.
    void prefer(bool met) { add(met ? 0 : 1); }

    // Whether this configuration is to be taken over `other`.
    bool before(const ConfigRank& other) const {
        for (int i = 0; i < count && i < other.count; ++i) {
            if (values[i] != other.values[i]) {
                return values[i] < other.values[i];
            }
        }
        return false;
    }

    int count;
    int values[6];
};
