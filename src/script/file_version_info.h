// The version information of a file as the copy rules and the FileVersion function use it: the
// binary file version, its text, the description, the language and character set of the first
// translation, and the operating system the file was made for. It is read from the raw version
// resource the machine gives (FileSystem::GetFileVersionInfo) with VerQueryValue, so the parsing
// is a pure function of the block and the machine only finds the block.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace tarvium {

struct SetupRun;

inline constexpr uint32_t VS_FFI_SIGNATURE = 0xFEEF04BD;

struct FileVersionInfo {
  uint32_t dwFileVersionMS = 0;  // major << 16 | minor
  uint32_t dwFileVersionLS = 0;  // build << 16 | revision
  uint32_t dwProductVersionMS = 0;
  uint32_t dwProductVersionLS = 0;
  std::array<uint16_t, 4> wVersionParts{};  // major, minor, build, revision of the file version
  std::string szVersion;                    // "%d.%d.%d.%d" of the four parts
  std::string szDescription;   // FileDescription of the first translation's string table
  uint16_t wLanguage = 0;      // of the first translation; 0x0409 without a translation list
  std::string szLanguageName;  // the system's name of wLanguage
  uint16_t wCodePage = 0;      // of the first translation; 1252 without a translation list
  uint32_t nCharSetText = 0;   // catalog text naming the code page (5014 to 5029)
  uint32_t dwFileOS = 0;       // VS_FIXEDFILEINFO's dwFileOS
  uint32_t nTargetOs = 0;      // 16 or 32 for Windows 16-bit or 32-bit, 0 for any other
};

// Reads a raw version resource. False when it holds no fixed file information (signature
// VS_FFI_SIGNATURE), which counts as no version at all.
bool ParseVersionInfo(std::span<const uint8_t> block, FileVersionInfo& info);
// The version information of a file on the run's machine. False when the file is missing, is no
// executable, or has no version resource.
bool ReadFileVersionInfo(SetupRun& run, const std::string& path, FileVersionInfo& info);
// The language of the first entry of the translation list of a file's version resource
// (VerQueryValue "\VarFileInfo\Translation"); 0 when the file has no version resource or no
// translation list.
uint16_t GetFirstTranslationLanguage(SetupRun& run, const std::string& path);
// The version text of a file ("2.3.40.500"); "" and false when it has no version.
bool GetFileVersionText(SetupRun& run, const std::string& path, std::string& version);

// The file version with two-digit minor, build and revision ("%d.%02d.%02d.%02d"), the form
// messages use when two different binary versions have the same plain text.
std::string FormatPaddedVersion(const FileVersionInfo& info);
// The catalog text naming a code page: 0 is 5014 "7 Bit ASCII", 874 5015, ..., 1257 5028, any
// other 5029 "Unknown".
uint32_t CharSetTextNumber(uint16_t wCodePage);
// The target of dwFileOS: 16 for Windows 16-bit, 32 for Windows 32-bit, else 0 (catalog text
// 5013 "Windows (%d Bit)" names the first two, 5012 "Unknown" the rest).
uint32_t TargetOsBits(uint32_t dwFileOS);

}  // namespace tarvium
