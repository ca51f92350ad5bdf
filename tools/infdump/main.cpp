// infdump: reads a setup information file the way Setup.exe does and lists its sections with
// the number of lines each holds (empty and comment lines included, continued lines as one).
// Usage: infdump FILE   (a host path, or a Windows path on drive Z:)
#include <cstdio>
#include <string>

#include "engine/inf_file.h"
#include "engine/inf_reader.h"
#include "engine/setup_run.h"
#include "platform/code_page.h"
#include "platform/host/host_file_system.h"

namespace {

const char* EncodingName(tarvium::TextEncoding encoding) {
  switch (encoding) {
    case tarvium::TextEncoding::Utf8:
      return "UTF-8";
    case tarvium::TextEncoding::Utf16Le:
      return "UTF-16LE";
    default:
      return "ANSI";
  }
}

std::string HeaderNameAt(const char* header) {
  std::string name;
  for (const char* p = header + 1; *p && *p != ']' && *p != '\r' && *p != '\n'; ++p) name += *p;
  return name;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: infdump FILE\n");
    return 2;
  }
  platform::HostFileSystem files;
  tarvium::SetupRun run(files);
  tarvium::TextEncoding encoding;
  auto inf = tarvium::LoadTextFile(run, argv[1], encoding);
  if (!inf || !tarvium::BuildSectionIndex(run, *inf)) {
    std::fprintf(stderr, "infdump: cannot read '%s' (message %d)\n", argv[1],
                 run.shownMessages.empty() ? 0 : run.shownMessages.back().nMessage);
    return 1;
  }
  std::printf("%s: %zu bytes, %s, %zu sections\n", argv[1], inf->View().size(),
              EncodingName(encoding), inf->SectionIndex().size() - 1);
  for (const char* header : inf->SectionIndex()) {
    if (!header) break;
    const std::string name = HeaderNameAt(header);
    tarvium::InfSection cursor;
    tarvium::OpenSection(cursor, tarvium::FindSection(*inf, name), false, true, false);
    std::printf("  [%s]%*s%3d lines\n", platform::AnsiToUtf8(name).c_str(),
                static_cast<int>(name.size() < 28 ? 28 - name.size() : 1), "", cursor.LineCount());
  }
  return 0;
}
