// Moments of a run that a build made to be timed (make bench, with QM_BENCH
// defined) notes from the performance counter and writes out as it ends
// (bench/install/marks.cpp).  In every other build they are empty and take
// no code.
#pragma once

enum BenchMoment { Accepted, WaitBoxUp, FilesWritten, Registered, ShortcutsMade, Launched, BenchMoments };

#ifdef QM_BENCH
void BenchMark(BenchMoment moment);
void WriteBenchMarks();
#else
inline void BenchMark(BenchMoment) {}
inline void WriteBenchMarks() {}
#endif
