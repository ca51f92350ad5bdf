/* A RAR module that lacks RARProcessFile, as a broken or outdated vendor library would: the
 * engine must name the first missing entry point and give up before opening anything. */
#include "archive/unrar_api.h"

__attribute__((visibility("default"))) RAR_HANDLE RAROpenArchiveEx(struct RAROpenArchiveDataEx* d) {
  d->OpenResult = ERAR_UNKNOWN;
  return 0;
}
__attribute__((visibility("default"))) int RARCloseArchive(RAR_HANDLE h) {
  return h ? 0 : 0;
}
__attribute__((visibility("default"))) int RARReadHeader(RAR_HANDLE h, struct RARHeaderData* d) {
  return h && d ? ERAR_END_ARCHIVE : ERAR_UNKNOWN;
}
