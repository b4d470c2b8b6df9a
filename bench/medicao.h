#pragma once
// What every benchmark program measures the same way: wall-clock and CPU seconds, the peak resident
// memory of the process, and the machine's load while it ran (the machine is shared).
#include <sys/resource.h>
#include <time.h>

#include <chrono>
#include <fstream>
#include <string>

namespace medicao {

using Relogio = std::chrono::steady_clock;

inline double Segundos(Relogio::time_point desde) {
  return std::chrono::duration<double>(Relogio::now() - desde).count();
}

// CPU time of the process (single-threaded): steadier than the wall clock on a shared machine.
inline double SegundosCPU() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

inline double PicoMemoriaMiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024.0;  // KiB on Linux
}

// The load averages of the machine (1, 5 and 15 minutes), as uptime shows them.
inline std::string Carga() {
  std::ifstream f("/proc/loadavg");
  std::string a, b, c;
  f >> a >> b >> c;
  return a + " " + b + " " + c;
}

}  // namespace medicao
