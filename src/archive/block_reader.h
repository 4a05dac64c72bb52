#pragma once
// Reading the part of one data file that falls inside a time interval into a
// data block: one positioned read of exactly the samples inside [t1, t2].

#include <optional>
#include <string>

#include "archive/data_block.h"

namespace nuv {

// Where a file's samples lie and how they are encoded.
struct BlockFile {
  std::string fileName;  // full name
  long long offset = 0;  // byte offset of the first sample (FOFF)
  double begin = 0;      // time of the first sample (TBEGIN)
  double duration = 0;   // seconds (TQTY)
  double rate = 0;       // samples per second (SPS)
  int code = 3;          // FILELIST.DATATYPE
};

// The part of a run of samples (the first at `begin`, `sps` per second, the
// run ending at `end`) that a read of [t1, t2] gives: a run starting inside
// the interval from its start, one the interval starts inside from the first
// whole sample at or before t1; samples up to t2. Sample counts are whole
// numbers kept as doubles; a count near the next whole sample within the
// rounding of epoch times is taken as whole. `count` is 0 when none fall
// inside.
struct SampleRange {
  double first = 0;  // samples skipped from the run's start
  double count = 0;
  double start = 0;  // time of the first sample given
};
SampleRange RangeInInterval(double begin, double end, double sps, double t1, double t2);

// The samples of `file` inside [t1, t2], or nothing when none fall inside.
// A file that starts inside the interval gives a block from its start; one
// that the interval starts inside gives a block from the first whole sample
// at or before t1 (k = (t1 - begin) * rate truncated). A file that cannot be
// opened gives a block of zeros; a short file gives trailing zeros. A read
// error is never taken for the end of the file: it throws FileReadError with
// the system's text. Throws std::bad_alloc when the samples cannot be held.
std::optional<NUVDataBlock> ReadBlock(const BlockFile& file, double t1, double t2);

// ReadBlock for one index row among others: a file that cannot be read (an
// empty name, a folder, a failing disk) gives its zeros, as a missing file
// does, and `problem` receives why ("не задан путь к файлу" or the read
// error's text); otherwise `problem` is left as it is.
std::optional<NUVDataBlock> ReadBlockOrZeros(const BlockFile& file, double t1, double t2,
                                             std::string& problem);

}  // namespace nuv
