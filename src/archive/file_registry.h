#pragma once
// FILELIST rows of the archive's own files: registering an imported WFD
// file and removing the rows of a file (the disk loop: disk_loop.h).

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
};

// Writes the FILELIST row of a WFD file (STA and CH in upper case, GAIN 1,
// DATATYPE 3, FOFF 512, CREATER "CSS2NUV_import", LDDATE now, TEND only with
// `useTend`, LCODE NULL). Rows of an earlier import of the same file are
// replaced in the same transaction, so importing twice leaves one row.
// Throws odbc::Error with the driver's text; nothing changes then.
void RegisterFile(odbc::Connection& connection, bool useTend, const RegisteredFile& file);

// "delete from FILELIST where CPATH like '%s'" with every "/" and "\" of the
// statement turned into "%" (so rows written with either separator go). On a
// database error shows "Ошибка базы данных: Error of delete record in NUV-DB
// (FILELIST -> PATH)\n" and the driver's text, and returns false.
bool RemoveFileRows(odbc::Connection& connection, const std::string& path, UserPrompts& prompts);

}  // namespace nuv
