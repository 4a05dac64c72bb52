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

// The samples of `file` inside [t1, t2], or nothing when none fall inside.
// A file that starts inside the interval gives a block from its start; one
// that the interval starts inside gives a block from the first whole sample
// at or before t1 (k = (t1 - begin) * rate truncated). A file that cannot be
// opened gives a block of zeros; a short file gives trailing zeros. A read
// error is never taken for the end of the file: it throws FileReadError with
// the system's text. Throws std::bad_alloc when the samples cannot be held.
std::optional<NUVDataBlock> ReadBlock(const BlockFile& file, double t1, double t2);

}  // namespace nuv
