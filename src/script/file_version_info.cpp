// ParseVersionInfo asks the block what VerQueryValue would be asked on Windows: "\" for the fixed
// file information, "\VarFileInfo\Translation" for the first translation (language and code
// page), and the FileDescription of that translation's string table. Without a translation list
// the US English table with Windows-1252 (040904E4) is taken, as Windows programs commonly do.
#include "script/file_version_info.h"

#include <algorithm>
#include <vector>

#include "engine/setup_run.h"
#include "platform/byte_reader.h"
#include "platform/language_name.h"
#include "script/version_block.h"

namespace tarvium {
namespace {

constexpr size_t kFixedFileInfoSize = 52;  // VS_FIXEDFILEINFO: thirteen 32-bit fields
constexpr uint16_t kDefaultLanguage = 0x0409;
constexpr uint16_t kDefaultCodePage = 1252;
constexpr uint32_t kUnknownCharSetText = 5029;
constexpr uint32_t kVosWindowsMask = 0xFFFF;  // the VOS__* part of dwFileOS
constexpr uint32_t kVosWindows16 = 0x0001;
constexpr uint32_t kVosWindows32 = 0x0004;

bool ReadFixedFileInfo(std::span<const uint8_t> value, FileVersionInfo& info) {
  platform::ByteReader reader(value);
  uint32_t dwSignature = 0;
  return value.size() >= kFixedFileInfoSize && reader.ReadU32(dwSignature) &&
         dwSignature == VS_FFI_SIGNATURE && reader.Skip(4) &&
         reader.ReadU32(info.dwFileVersionMS) && reader.ReadU32(info.dwFileVersionLS) &&
         reader.ReadU32(info.dwProductVersionMS) && reader.ReadU32(info.dwProductVersionLS) &&
         reader.Skip(8) && reader.ReadU32(info.dwFileOS);
}

void ReadFirstTranslation(std::span<const uint8_t> block, FileVersionInfo& info) {
  info.wLanguage = kDefaultLanguage;
  info.wCodePage = kDefaultCodePage;
  std::span<const uint8_t> translations;
  if (!VerQueryValue(block, "\\VarFileInfo\\Translation", translations)) return;
  platform::ByteReader reader(translations);
  uint16_t wLanguage = 0, wCodePage = 0;
  if (reader.ReadU16(wLanguage) && reader.ReadU16(wCodePage)) {
    info.wLanguage = wLanguage;
    info.wCodePage = wCodePage;
  }
}

void AppendHex4(std::string& text, uint16_t wValue) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (int nShift = 12; nShift >= 0; nShift -= 4) text += kDigits[(wValue >> nShift) & 0xF];
}

std::string Padded2(uint16_t wPart) {
  std::string text = std::to_string(wPart);
  return text.size() < 2 ? "0" + text : text;
}

}  // namespace

bool ParseVersionInfo(std::span<const uint8_t> block, FileVersionInfo& info) {
  info = {};
  std::span<const uint8_t> fixed;
  if (!VerQueryValue(block, "\\", fixed) || !ReadFixedFileInfo(fixed, info)) {
    info = {};
    return false;
  }
  info.wVersionParts = {static_cast<uint16_t>(info.dwFileVersionMS >> 16),
                        static_cast<uint16_t>(info.dwFileVersionMS & 0xFFFF),
                        static_cast<uint16_t>(info.dwFileVersionLS >> 16),
                        static_cast<uint16_t>(info.dwFileVersionLS & 0xFFFF)};
  for (uint16_t wPart : info.wVersionParts)
    info.szVersion += (info.szVersion.empty() ? "" : ".") + std::to_string(wPart);
  ReadFirstTranslation(block, info);
  std::string subBlock = "\\StringFileInfo\\";
  AppendHex4(subBlock, info.wLanguage);
  AppendHex4(subBlock, info.wCodePage);
  VerQueryText(block, subBlock + "\\FileDescription", info.szDescription);
  info.szLanguageName = platform::VerLanguageName(info.wLanguage);
  info.nCharSetText = CharSetTextNumber(info.wCodePage);
  info.nTargetOs = TargetOsBits(info.dwFileOS);
  return true;
}

bool ReadFileVersionInfo(SetupRun& run, const std::string& path, FileVersionInfo& info) {
  info = {};
  std::vector<uint8_t> block;
  return run.machine.Files().GetFileVersionInfo(path, block) == platform::ERROR_SUCCESS &&
         ParseVersionInfo(block, info);
}

uint16_t GetFirstTranslationLanguage(SetupRun& run, const std::string& path) {
  std::vector<uint8_t> block;
  std::span<const uint8_t> translations;
  uint16_t wLanguage = 0;
  if (run.machine.Files().GetFileVersionInfo(path, block) != platform::ERROR_SUCCESS ||
      !VerQueryValue(block, "\\VarFileInfo\\Translation", translations) ||
      !platform::ByteReader(translations).ReadU16(wLanguage))
    return 0;
  return wLanguage;
}

bool GetFileVersionText(SetupRun& run, const std::string& path, std::string& version) {
  FileVersionInfo info;
  const bool bHasVersion = ReadFileVersionInfo(run, path, info);
  version = info.szVersion;
  return bHasVersion;
}

std::string FormatPaddedVersion(const FileVersionInfo& info) {
  return std::to_string(info.wVersionParts[0]) + "." + Padded2(info.wVersionParts[1]) + "." +
         Padded2(info.wVersionParts[2]) + "." + Padded2(info.wVersionParts[3]);
}

uint32_t CharSetTextNumber(uint16_t wCodePage) {
  struct CharSetText {
    uint16_t wCodePage;
    uint32_t nText;
  };
  static constexpr CharSetText kTexts[] = {
      {0, 5014},    {874, 5015},  {932, 5016},  {936, 5017},  {949, 5018},
      {950, 5019},  {1200, 5020}, {1250, 5021}, {1251, 5022}, {1252, 5023},
      {1253, 5024}, {1254, 5025}, {1255, 5026}, {1256, 5027}, {1257, 5028},
  };
  const auto* it =
      std::find_if(std::begin(kTexts), std::end(kTexts),
                   [&](const CharSetText& entry) { return entry.wCodePage == wCodePage; });
  return it == std::end(kTexts) ? kUnknownCharSetText : it->nText;
}

uint32_t TargetOsBits(uint32_t dwFileOS) {
  switch (dwFileOS & kVosWindowsMask) {
    case kVosWindows16:
      return 16;
    case kVosWindows32:
      return 32;
    default:
      return 0;
  }
}

}  // namespace tarvium
