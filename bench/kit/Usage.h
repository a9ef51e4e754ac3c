#pragma once

// What a run costs the machine: CPU time and resident memory.

namespace benchkit {

// CPU seconds (user + system) of this process, and of its waited-for children.
double ProcessCpuSeconds();
double ChildrenCpuSeconds();
// This process's resident memory (VmRSS) in MiB; 0 where it cannot be read.
double ResidentMiB();

}  // namespace benchkit
