#pragma once
// The display font between its NUV.INI record (the fields of a LOGFONT) and Qt.

#include <QFont>

#include "platform/config.h"

namespace nuv {

class ProfileFile;

// The font a record describes; a zero height keeps the application's size.
QFont FontFromRecord(const FontRecord& record);
// The record of a font; the fields Qt does not know (character set,
// precisions, quality) are kept from `base`.
FontRecord RecordFromFont(const QFont& font, const FontRecord& base);
// Writes the fifteen [FONT] keys; false when any of them could not be written.
bool WriteFontKeys(ProfileFile& ini, const FontRecord& record);

}  // namespace nuv
