#include "app/ConfigRank.h"

bool ConfigRank::before(const ConfigRank& other) const {
    for (int i = 0; i < count && i < other.count; ++i) {
        if (values[i] != other.values[i]) {
            return values[i] < other.values[i];
        }
    }
    return false;
}
