#pragma once
// The one sleep of code on a job's path. Windows ends a sleep or a timed
// wait only on a tick of its timer (15.6 ms unless a program asks for
// finer), so a wait that sleeps in small slices takes a tick per slice
// there. A job therefore waits in the system for its bytes, and sleeps only
// where a fixed wait is meant; tests make this sleep as coarse as
// Windows' to show that nothing else on the path depends on it.

#include <chrono>

void PlatformSleep(std::chrono::microseconds time);

// How long a sleep or a timed wait of `time` lasts: `time`, or rounded up
// to whole ticks while a test has made sleeps coarse.
std::chrono::microseconds SleepTime(std::chrono::microseconds time);

// For tests: every sleep rounded up to a whole number of `tick`s; zero
// makes sleeps precise again.
void SetSleepTick(std::chrono::microseconds tick);
