#pragma once
// FILELIST rows of the archive's own files: registering an imported WFD
// file and removing the rows of a file (the disk loop: disk_loop.h).

#include <optional>
#include <string>

#include "platform/odbc.h"

namespace nuv {

class UserPrompts;

// A file to register: the WFD file `relativeName` ("STA/hhmmss-ddmmyyyy.CHAN")
// of one channel.
struct RegisteredFile {
  std::string relativeName;
  std::string station;
  std::string channel;
  double start = 0;
  double duration = 0;
  double rate = 0;
  double calib = 0;
  double calper = 0;
  std::string lcode;                       // LCODE; empty for NULL
  std::string creator = "CSS2NUV_import";  // CREATER
};

// Writes the FILELIST row of a WFD file (STA and CH as given: the station
// table's spelling, which the segment assembly asks by; GAIN 1,
// DATATYPE 3, FOFF 512, CREATER and LCODE from `file`, LDDATE now, TEND only
// with `useTend`), its texts escaped for `dialect`. Rows of an earlier import
// of the same file (the same path exactly, in either spelling, and the same
// start) are replaced in the same transaction, so importing twice leaves one
// row. Throws odbc::Error with the driver's text; nothing changes then.
void RegisterFile(odbc::Connection& connection, int dialect, bool useTend,
                  const RegisteredFile& file);

// Deletes the rows of the file `path`: its exact path, "/" and "\" counting
// as the same separator (never the rows of a longer station code or of names
// that a LIKE pattern would also match). On a database error shows "Ошибка
// базы данных: Error of delete record in NUV-DB (FILELIST -> PATH)\n" and the
// driver's text, and returns false.
bool RemoveFileRows(odbc::Connection& connection, int dialect, const std::string& path,
                    UserPrompts& prompts);

}  // namespace nuv
