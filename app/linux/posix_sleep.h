#pragma once

// Suspends the thread for the given milliseconds, resuming a sleep that a
// signal broke off.
void sleepMillisecondsPosix(int milliseconds);
