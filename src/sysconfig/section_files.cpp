#include "sysconfig/section_files.h"

#include <algorithm>
#include <vector>

#include "engine/inf_reader.h"
#include "engine/replace_variables.h"
#include "engine/section_position.h"
#include "engine/setup_context.h"
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "install/file_path_parts.h"
#include "install/install_engine.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

const char* SectionStart(SetupRun& run, const std::string& section) {
  const InfFile* pInf = InstallFile(run);
  return pInf ? FindSection(*pInf, section) : nullptr;
}

}  // namespace

bool SectionExists(SetupRun& run, const std::string& section) {
  return SectionStart(run, section) != nullptr;
}

std::string ReadSectionKey(SetupRun& run, const std::string& section, const char* key,
                           size_t nSize) {
  const InfFile* pInf = InstallFile(run);
  std::string value;
  if (!pInf || !GetValue(*pInf, section, key, value, nSize)) return {};
  ReplaceVariables(run, value);
  return value;
}

std::string ReadSectionPath(SetupRun& run, const std::string& section) {
  std::string path = ReadSectionKey(run, section, "Path", kPathSize);
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path;
}

bool ForEachSectionLine(SetupRun& run, const std::string& section,
                        std::initializer_list<const char*> ownKeys,
                        const std::function<bool(const std::string& line)>& apply,
                        size_t nLineSize) {
  const char* start = SectionStart(run, section);
  if (!start) return true;
  std::vector<const char*> keyLines;
  for (const char* key : ownKeys)
    if (const char* keyLine = FindKeyLine(*InstallFile(run), section, key))
      keyLines.push_back(keyLine);
  InfSection cursor;
  OpenSection(cursor, start, false, false, run.ctx.bUninstall);
  const SectionPositionScope position(run);
  std::string line;
  while (!run.ctx.bAborted && NextLine(cursor, line, nLineSize)) {
    const int32_t nLine = cursor.CurrentLineNumber();
    SetPosition(run, section, nLine);
    if (line.find_first_not_of(" \t\r\n") == std::string::npos) continue;
    if (std::find(keyLines.begin(), keyLines.end(), cursor.lineStarts[nLine - 1]) != keyLines.end())
      continue;
    if (!apply(line)) return false;
  }
  return true;
}

bool CreateFileIfMissing(SetupRun& run, const std::string& path) {
  platform::FileSystem& files = run.machine.Files();
  if (files.FileExists(path)) return true;
  if (const std::string dir = ParentDirectoryOf(path); !dir.empty()) files.CreateDirectoryTree(dir);
  if (files.WriteWholeFile(path, {}) == platform::ERROR_SUCCESS) return true;
  ShowMessage(run, 5504, path);
  return false;
}

bool ReadFileText(SetupRun& run, const std::string& path, std::string& text,
                  platform::IniEncoding& encoding) {
  std::string bytes;
  if (run.machine.Files().ReadWholeFile(path, bytes) != platform::ERROR_SUCCESS) return false;
  text = platform::DecodeIniBytes(bytes, encoding);
  return true;
}

bool WriteFileAnew(SetupRun& run, const std::string& path, const std::string& text,
                   platform::IniEncoding encoding) {
  const uint32_t err =
      run.machine.Files().WriteWholeFile(path, platform::EncodeIniText(text, encoding));
  if (err == platform::ERROR_SUCCESS) return true;
  const bool bShortWrite = err == platform::ERROR_DISK_FULL ||
                           err == platform::ERROR_HANDLE_DISK_FULL ||
                           err == platform::ERROR_WRITE_FAULT;
  ShowMessage(run, bShortWrite ? 5503 : 5504, path);
  return false;
}

}  // namespace tarvium
