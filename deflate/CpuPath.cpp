#include "deflate/CpuPath.h"

bool CpuPathAvailable(TCpuPath path) {
  switch (path) {
    case TCpuPath::Portable:
      return true;
    case TCpuPath::Avx2Bmi2:
#if defined(__x86_64__)
      return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
             __builtin_cpu_supports("bmi2");
#else
      return false;
#endif
  }
  return false;
}

TCpuPath BestCpuPath() {
  static const TCpuPath best =
      CpuPathAvailable(TCpuPath::Avx2Bmi2) ? TCpuPath::Avx2Bmi2 : TCpuPath::Portable;
  return best;
}
