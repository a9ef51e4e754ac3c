#pragma once

// How a benchmark program runs: its arguments, the event loop it waits in,
// and the brief smoke run (BRELMO_BENCH_SMOKE=1, the `bench` test label)
// that only checks it still works.

namespace benchkit {

// True in a smoke run: every series is cut to one sample.
bool Smoke();
// 'wanted' samples, or one in a smoke run.
int Runs(int wanted);

// The number after "--name" on the command line, or 'fallback'; the text
// after it, or null.
int IntArg(int argc, char** argv, const char* name, int fallback);
const char* StringArg(int argc, char** argv, const char* name);

// Runs the event loop for 'milliseconds', asleep whenever nothing is due.
void RunLoopFor(int milliseconds);

// Google Benchmark's main: in a smoke run each benchmark takes the least time.
int RunBenchmarks(int argc, char** argv);

}  // namespace benchkit
