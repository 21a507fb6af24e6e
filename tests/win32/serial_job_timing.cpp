// Times a prompt serial job on the board at PORT with precise and with
// coarse sleeps (tests/support/sleep_comparison.h), for the end-to-end test
// that has the simulated board on that port and judges the two times.
//   serial_job_timing PORT IMAGE ROUNDS
// Prints "precise SECONDS coarse SECONDS"; exit 0, or 1 when a job failed.

#include "platform/machine.h"
#include "support/sleep_comparison.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: serial_job_timing PORT IMAGE ROUNDS\n");
        return 2;
    }
    SetSleepTick(kCoarseTick);
    if (SleepTime(std::chrono::microseconds(1)) != kCoarseTick) {
        std::fprintf(stderr, "the sleeps did not become coarse\n");
        return 1;
    }
    SetSleepTick(std::chrono::microseconds(0));
    const auto ports = MakeSerialPortFactory();
    const SleepComparison times = CompareSleeps(*ports, argv[1], argv[2], std::atoi(argv[3]));
    std::printf("precise %.3f coarse %.3f\n", times.precise, times.coarse);
    return times.allSucceeded ? 0 : 1;
}
