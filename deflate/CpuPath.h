// The builds of the Deflate match finder that a processor can run: the portable one, and
// one compiled for x86-64 processors with AVX2 and BMI2. Both give the same bytes; the
// fastest that the processor can run is chosen once, and tests run each one.
#pragma once

enum class TCpuPath { Portable, Avx2Bmi2 };

// True when this build and this processor can run the path.
bool CpuPathAvailable(TCpuPath path);
// The fastest available path, determined at the first call and never changed after.
TCpuPath BestCpuPath();
