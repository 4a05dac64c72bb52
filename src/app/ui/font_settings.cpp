#include "app/ui/font_settings.h"

#include <QApplication>
#include <QFontInfo>
#include <cmath>
#include <cstdlib>

#include "platform/profile_file.h"

namespace nuv {
namespace {
// LOGFONT pitch values.
constexpr uint8_t kFixedPitch = 1;
constexpr uint8_t kVariablePitch = 2;
}  // namespace

QFont FontFromRecord(const FontRecord& record) {
  QFont font(QApplication::font());
  if (!record.faceName.empty()) font.setFamily(QString::fromStdString(record.faceName));
  // A negative height is the character height in pixels, a positive one the
  // cell height; both are taken as the pixel size here.
  if (record.height != 0) font.setPixelSize(static_cast<int>(std::labs(record.height)));
  if (record.weight > 0)
    font.setWeight(static_cast<QFont::Weight>(std::clamp<long>(record.weight, 100, 900)));
  font.setItalic(record.italic != 0);
  font.setUnderline(record.underline != 0);
  font.setStrikeOut(record.strikeOut != 0);
  if ((record.pitchAndFamily & 3) == kFixedPitch) font.setFixedPitch(true);
  return font;
}

FontRecord RecordFromFont(const QFont& font, const FontRecord& base) {
  FontRecord record = base;
  const QFontInfo info(font);
  record.height = -static_cast<long>(info.pixelSize());
  record.width = 0;
  record.escapement = 0;
  record.orientation = 0;
  record.weight = static_cast<long>(font.weight());
  record.italic = font.italic() ? 1 : 0;
  record.underline = font.underline() ? 1 : 0;
  record.strikeOut = font.strikeOut() ? 1 : 0;
  record.pitchAndFamily = static_cast<uint8_t>((base.pitchAndFamily & ~3) |
                                               (info.fixedPitch() ? kFixedPitch : kVariablePitch));
  record.faceName = font.family().toStdString();
  return record;
}

bool WriteFontKeys(ProfileFile& ini, const FontRecord& record) {
  bool saved = true;
  auto put = [&](const char* key, long value) {
    saved = ini.WriteString("FONT", key, std::to_string(value)) && saved;
  };
  put("lfHeight", record.height);
  put("lfWidth", record.width);
  put("lfEscapement", record.escapement);
  put("lfOrientation", record.orientation);
  put("lfWeight", record.weight);
  put("lfItalic", record.italic);
  put("lfUnderline", record.underline);
  put("lfStrikeOut", record.strikeOut);
  put("lfCharSet", record.charSet);
  put("lfOutPrecision", record.outPrecision);
  put("lfClipPrecision", record.clipPrecision);
  put("lfQuality", record.quality);
  put("lfPitchAndFamily", record.pitchAndFamily);
  return ini.WriteString("FONT", "lfFaceName", record.faceName) && saved;
}

}  // namespace nuv
