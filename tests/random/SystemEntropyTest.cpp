// The real device-and-clock code, with the C library calls it makes replaced
// at link time (GNU ld --wrap): the device is a scripted byte stream and every
// call is recorded with the arguments the real one would have received.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "random/RandomSource.h"
#include "sim/Creature.h"
#include "sim/Swarm.h"

extern "C" {
FILE* __real_fopen(const char* path, const char* mode);
size_t __real_fread(void* buffer, size_t size, size_t count, FILE* file);
int __real_fclose(FILE* file);
time_t __real_time(time_t* result);
clock_t __real_clock(void);
}

// The scripted device: -1 bytes means it cannot be opened.
static long deviceBytes = -1;
static long deviceOffset = 0;
static bool clocksScripted = false;
static time_t scriptedTime = 0;
static clock_t scriptedClock = 0;
static std::vector<std::string> calls;
static int openFiles = 0;
static char fakeDevice;  // its address stands for the open device

static FILE* deviceHandle() { return reinterpret_cast<FILE*>(&fakeDevice); }

static unsigned char deviceByte(long offset) { return static_cast<unsigned char>(offset * 37 + 11); }

extern "C" FILE* __wrap_fopen(const char* path, const char* mode) {
    if (std::strcmp(path, "/dev/urandom") != 0) {
        return __real_fopen(path, mode);
    }
    calls.emplace_back(std::string("fopen ") + path + " " + mode);
    if (deviceBytes < 0) {
        return nullptr;
    }
    deviceOffset = 0;
    ++openFiles;
    return deviceHandle();
}

extern "C" size_t __wrap_fread(void* buffer, size_t size, size_t count, FILE* file) {
    if (file != deviceHandle()) {
        return __real_fread(buffer, size, count, file);
    }
    calls.push_back("fread " + std::to_string(size) + " " + std::to_string(count));
    unsigned char* bytes = static_cast<unsigned char*>(buffer);
    size_t delivered = 0;
    while (delivered < size * count && deviceOffset < deviceBytes) {
        bytes[delivered++] = deviceByte(deviceOffset++);
    }
    return delivered / size;
}

extern "C" int __wrap_fclose(FILE* file) {
    if (file != deviceHandle()) {
        return __real_fclose(file);
    }
    calls.emplace_back("fclose");
    --openFiles;
    return 0;
}

extern "C" time_t __wrap_time(time_t* result) {
    if (!clocksScripted) {
        return __real_time(result);
    }
    calls.push_back("time " + std::string(result == nullptr ? "null" : "pointer"));
    return scriptedTime;
}

extern "C" clock_t __wrap_clock(void) {
    if (!clocksScripted) {
        return __real_clock();
    }
    calls.emplace_back("clock");
    return scriptedClock;
}

static int countCalls(const std::string& prefix) {
    int n = 0;
    for (const std::string& call : calls) {
        n += call.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    }
    return n;
}

class SystemEntropyTest : public ::testing::Test {
protected:
    void SetUp() override {
        calls.clear();
        openFiles = 0;
        deviceBytes = -1;
        clocksScripted = true;
        scriptedTime = 1;
        scriptedClock = 0;
        RandomSource::seedDiffer = 0;
    }
    void TearDown() override { clocksScripted = false; }
};

TEST_F(SystemEntropyTest, AFullKeyOf2496BytesSeedsFromTheWords) {
    deviceBytes = 2496;
    RandomSource rng;
    EXPECT_EQ(RandomSource::seedDiffer, 0u);
    ASSERT_EQ(calls.size(), 626u);
    EXPECT_EQ(calls.front(), "fopen /dev/urandom rb");
    EXPECT_EQ(countCalls("fread 4 1"), 624);
    EXPECT_EQ(calls.back(), "fclose");
    EXPECT_EQ(openFiles, 0);

    // Each word takes its four bytes as they come, in native byte order.
    uint32_t key[624];
    for (long i = 0; i < 624; ++i) {
        unsigned char bytes[4];
        for (long b = 0; b < 4; ++b) {
            bytes[b] = deviceByte(i * 4 + b);
        }
        std::memcpy(&key[i], bytes, 4);
    }
    deviceBytes = -1;
    RandomSource expected;
    expected.seedFromWords(key);
    EXPECT_EQ(0, std::memcmp(rng.state, expected.state, sizeof rng.state));
    EXPECT_EQ(rng.next, expected.next);
    EXPECT_EQ(rng.remaining, expected.remaining);
}

TEST_F(SystemEntropyTest, AShortDeviceIsClosedAndTheClocksAreUsed) {
    deviceBytes = 2495;
    RandomSource rng;
    EXPECT_EQ(RandomSource::seedDiffer, 1u);
    EXPECT_EQ(countCalls("fread"), 624);  // the last word is partial
    EXPECT_EQ(countCalls("fclose"), 1);
    EXPECT_EQ(openFiles, 0);
    // The wall clock is read before the processor clock.
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "time null");
    EXPECT_EQ(calls.back(), "clock");

    RandomSource expected;
    expected.seedFromValue(16974593u);  // time 1, clock 0, counter 0
    EXPECT_EQ(0, std::memcmp(rng.state, expected.state, sizeof rng.state));

    calls.clear();
    deviceBytes = 0;
    RandomSource empty;
    EXPECT_EQ(RandomSource::seedDiffer, 3u);
    EXPECT_EQ(countCalls("fread"), 1);
    EXPECT_EQ(countCalls("fclose"), 1);
}

TEST_F(SystemEntropyTest, AMissingDeviceIsNeitherReadNorClosed) {
    RandomSource rng;
    EXPECT_EQ(RandomSource::seedDiffer, 1u);
    EXPECT_EQ(countCalls("fopen"), 1);
    EXPECT_EQ(countCalls("fread"), 0);
    EXPECT_EQ(countCalls("fclose"), 0);
}

TEST_F(SystemEntropyTest, ASwarmOpensTheDeviceAfreshForEachOfItsSixGenerators) {
    deviceBytes = 2496;
    {
        Swarm swarm(5);
        EXPECT_EQ(countCalls("fopen"), 6);
        EXPECT_EQ(countCalls("fclose"), 6);
        EXPECT_EQ(countCalls("fread"), 6 * 624);
        EXPECT_EQ(RandomSource::seedDiffer, 0u);
    }
    EXPECT_EQ(openFiles, 0);
}

TEST_F(SystemEntropyTest, FallbackSeedsFollowTheConstructionOrder) {
    scriptedTime = 1234567;
    scriptedClock = 890;
    Swarm swarm(5);
    EXPECT_EQ(RandomSource::seedDiffer, 6u);

    // The swarm's generator is seeded first, then each creature's in member
    // order: the k-th takes the counter value k.
    RandomSource expected;  // its own seeding is overwritten below
    RandomSource::seedDiffer = 0;
    uint32_t seeds[6];
    for (uint32_t& seed : seeds) {
        seed = RandomSource::fallbackSeed();
    }
    expected.seedFromValue(seeds[0]);
    for (int i = 0; i < 10; ++i) {
        expected.nextWord();  // the members' positions
    }
    EXPECT_EQ(swarm.rng.nextWord(), expected.nextWord());
    for (int m = 0; m < 5; ++m) {
        expected.seedFromValue(seeds[m + 1]);
        for (int i = 0; i < 450; ++i) {
            expected.nextWord();  // the creature's colours
        }
        EXPECT_EQ(swarm.members[m].creature->rng.nextWord(), expected.nextWord()) << "member " << m;
    }
}
