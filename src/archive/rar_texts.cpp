// The texts are the library's own wording, so that a trace reads as the library's documentation
// describes its codes.
#include "archive/rar_texts.h"

#include <cstdio>

#include "archive/unrar_api.h"
#include "platform/modules.h"

namespace tarvium {

std::string RarErrorText(int nCode, bool bOpening, const std::string& archive) {
  if (bOpening && nCode == ERAR_EOPEN) nCode = ERAR_BAD_ARCHIVE;
  switch (nCode) {
    case ERAR_NO_MEMORY:
      return "Not enough memory";
    case ERAR_BAD_DATA:
      return "'" + archive + "': archive header or data are damaged";
    case ERAR_BAD_ARCHIVE:
      return "'" + archive + "' is not a RAR archive";
    case ERAR_UNKNOWN_FORMAT:
      return "Unknown archive format";
    case ERAR_EOPEN:
      return "Volume open error";
    case ERAR_ECREATE:
      return "File create error";
    case ERAR_ECLOSE:
      return "File close error";
    case ERAR_EREAD:
      return "Read error";
    case ERAR_EWRITE:
      return "Write error";
    case ERAR_SMALL_BUF:
      return "Buffer for archive comment is too small, comment truncated";
    case ERAR_MISSING_PASSWORD:
      return "Password for encrypted file or header is not specified";
    case ERAR_EREFERENCE:
      return "Cannot open file source for reference record";
    case ERAR_BAD_PASSWORD:
      return "Wrong password is specified";
    default:
      return "Unknown error";
  }
}

std::string TrustResultText(uint32_t nResult) {
  switch (nResult) {
    case platform::TRUST_SUCCESS:
      return "The file is signed and the signature was verified.\n";
    case platform::TRUST_E_NOSIGNATURE:
      return "The file is not signed.\n";
    case platform::TRUST_E_SUBJECT_NOT_TRUSTED:
      return "The signature is present, but not trusted.\n";
    case platform::TRUST_E_EXPLICIT_DISTRUST:
      return "The signature is present, but specifically disallowed.\n";
    case platform::TRUST_E_BAD_DIGEST:
      return "The digital signature of the object did not verify.\n";
    default: {
      char szText[64];
      std::snprintf(szText, sizeof szText, "Verify digital signature error : 0x%x.\n", nResult);
      return szText;
    }
  }
}

}  // namespace tarvium
