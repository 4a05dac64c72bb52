#pragma once
// Saving block arrays as a CSS 3.0 file set: one wfdisc line and one data
// file per block, the data files beside the wfdisc file.

#include <string>

#include "archive/data_block.h"
#include "archive/sample_codec.h"
#include "archive/wfdisc_format.h"

namespace nuv {

// Writes (overwriting) the wfdisc file `wfdiscPath` and, for every block of
// every array in order, its line and its data file numbered from 0 across the
// whole save. Throws ArchiveError "Ошибка записи файла wfdisc" at the first
// file error; what was written before stays.
void SaveWfdisc(const std::string& wfdiscPath, const XNUVDataBlockArrays& arrays,
                WfdiscOutputFormat format);

// The wfdisc record of block `number` (exactly as the save writes it).
WfdiscRecord WfdiscRecordOfBlock(const NUVDataBlock& block, std::string_view station,
                                 std::string_view channel, int number, WfdiscOutputFormat format);

}  // namespace nuv
