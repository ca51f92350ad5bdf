// Recorded ODBC installer changes. Without an installer over the run's stores, an installation with
// ODBC_INSTALL_COMPLETE asks the wrapped installer the same question with ODBC_INSTALL_INQUIRY,
// which changes nothing, for the path the engine goes on with.
#include "platform/recording/recording_odbc.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

std::string TextOf(const char* text) {
  return text ? text : "";
}

// The attribute pairs of a zero-separated list as one line.
std::string PairsText(const char* list) {
  std::string text;
  for (const char* p = list; p && *p; p += std::strlen(p) + 1)
    text += (text.empty() ? "" : ";") + std::string(p);
  return text;
}

}  // namespace

void RecordingOdbc::Record(const char* target, std::string detail) {
  m_changes.Add(ChangeKind::OdbcChange, TextOf(target), std::move(detail));
}

bool RecordingOdbc::GivePath(const std::string& path, char* pBuffer, uint16_t cbMax,
                             uint16_t* pcbOut) {
  if (pcbOut) *pcbOut = static_cast<uint16_t>(path.size());
  if (pBuffer && cbMax > 0) {
    const size_t nCopied = std::min<size_t>(path.size(), cbMax - 1u);
    std::memcpy(pBuffer, path.data(), nCopied);
    pBuffer[nCopied] = '\0';
  }
  return true;
}

bool RecordingOdbc::SQLInstallDriverManager(char* lpszPath, uint16_t cbPathMax,
                                            uint16_t* pcbPathOut) {
  Record("driver manager", "install");
  if (m_over) return m_over->SQLInstallDriverManager(lpszPath, cbPathMax, pcbPathOut);
  return GivePath(m_systemDir, lpszPath, cbPathMax, pcbPathOut);
}

bool RecordingOdbc::SQLRemoveDriverManager(uint32_t* lpdwUsageCount) {
  Record("driver manager", "remove");
  if (m_over) return m_over->SQLRemoveDriverManager(lpdwUsageCount);
  if (lpdwUsageCount) *lpdwUsageCount = 0;
  return true;
}

bool RecordingOdbc::SQLInstallDriver(const char* lpszInfFile, const char* lpszDriver,
                                     char* lpszPath, uint16_t cbPathMax, uint16_t* pcbPathOut) {
  Record(lpszDriver, "install driver from " + TextOf(lpszInfFile));
  if (m_over)
    return m_over->SQLInstallDriver(lpszInfFile, lpszDriver, lpszPath, cbPathMax, pcbPathOut);
  return GivePath(m_systemDir, lpszPath, cbPathMax, pcbPathOut);
}

bool RecordingOdbc::SQLInstallDriverEx(const char* lpszDriver, const char* lpszPathIn,
                                       char* lpszPathOut, uint16_t cbPathOutMax,
                                       uint16_t* pcbPathOut, uint16_t fRequest,
                                       uint32_t* lpdwUsageCount) {
  if (fRequest != ODBC_INSTALL_INQUIRY)
    Record(lpszDriver, "install driver " + PairsText(lpszDriver));
  if (m_over)
    return m_over->SQLInstallDriverEx(lpszDriver, lpszPathIn, lpszPathOut, cbPathOutMax, pcbPathOut,
                                      fRequest, lpdwUsageCount);
  const bool bAnswered =
      m_wrapped.SQLInstallDriverEx(lpszDriver, lpszPathIn, lpszPathOut, cbPathOutMax, pcbPathOut,
                                   ODBC_INSTALL_INQUIRY, lpdwUsageCount);
  if (fRequest == ODBC_INSTALL_INQUIRY) return bAnswered;
  if (lpdwUsageCount) *lpdwUsageCount = bAnswered ? *lpdwUsageCount + 1 : 1;
  return bAnswered ||
         GivePath(lpszPathIn ? lpszPathIn : m_systemDir, lpszPathOut, cbPathOutMax, pcbPathOut);
}

bool RecordingOdbc::SQLRemoveDriver(const char* lpszDriver, bool fRemoveDSN,
                                    uint32_t* lpdwUsageCount) {
  Record(lpszDriver, fRemoveDSN ? "remove driver and its data sources" : "remove driver");
  if (m_over) return m_over->SQLRemoveDriver(lpszDriver, fRemoveDSN, lpdwUsageCount);
  if (lpdwUsageCount) *lpdwUsageCount = 0;
  return true;
}

bool RecordingOdbc::SQLInstallTranslator(const char* lpszInfFile, const char* lpszTranslator,
                                         const char* lpszPathIn, char* lpszPathOut,
                                         uint16_t cbPathOutMax, uint16_t* pcbPathOut,
                                         uint16_t fRequest, uint32_t* lpdwUsageCount) {
  if (fRequest != ODBC_INSTALL_INQUIRY)
    Record(lpszTranslator, "install translator from " + TextOf(lpszInfFile));
  if (m_over || fRequest == ODBC_INSTALL_INQUIRY)
    return Reader().SQLInstallTranslator(lpszInfFile, lpszTranslator, lpszPathIn, lpszPathOut,
                                         cbPathOutMax, pcbPathOut, fRequest, lpdwUsageCount);
  if (lpdwUsageCount) *lpdwUsageCount = 1;
  return GivePath(lpszPathIn ? lpszPathIn : m_systemDir, lpszPathOut, cbPathOutMax, pcbPathOut);
}

bool RecordingOdbc::SQLInstallTranslatorEx(const char* lpszTranslator, const char* lpszPathIn,
                                           char* lpszPathOut, uint16_t cbPathOutMax,
                                           uint16_t* pcbPathOut, uint16_t fRequest,
                                           uint32_t* lpdwUsageCount) {
  if (fRequest != ODBC_INSTALL_INQUIRY)
    Record(lpszTranslator, "install translator " + PairsText(lpszTranslator));
  if (m_over)
    return m_over->SQLInstallTranslatorEx(lpszTranslator, lpszPathIn, lpszPathOut, cbPathOutMax,
                                          pcbPathOut, fRequest, lpdwUsageCount);
  const bool bAnswered =
      m_wrapped.SQLInstallTranslatorEx(lpszTranslator, lpszPathIn, lpszPathOut, cbPathOutMax,
                                       pcbPathOut, ODBC_INSTALL_INQUIRY, lpdwUsageCount);
  if (fRequest == ODBC_INSTALL_INQUIRY) return bAnswered;
  if (lpdwUsageCount) *lpdwUsageCount = bAnswered ? *lpdwUsageCount + 1 : 1;
  return bAnswered ||
         GivePath(lpszPathIn ? lpszPathIn : m_systemDir, lpszPathOut, cbPathOutMax, pcbPathOut);
}

bool RecordingOdbc::SQLRemoveTranslator(const char* lpszTranslator, uint32_t* lpdwUsageCount) {
  Record(lpszTranslator, "remove translator");
  if (m_over) return m_over->SQLRemoveTranslator(lpszTranslator, lpdwUsageCount);
  if (lpdwUsageCount) *lpdwUsageCount = 0;
  return true;
}

bool RecordingOdbc::SQLConfigDataSource(uint16_t fRequest, const char* lpszDriver,
                                        const char* lpszAttributes) {
  Record(lpszDriver,
         "data source request " + std::to_string(fRequest) + " " + PairsText(lpszAttributes));
  return !m_over || m_over->SQLConfigDataSource(fRequest, lpszDriver, lpszAttributes);
}

bool RecordingOdbc::SQLWriteFileDSN(const char* lpszFileName, const char* lpszAppName,
                                    const char* lpszKeyName, const char* lpszString) {
  Record(lpszFileName,
         "[" + TextOf(lpszAppName) + "] " + TextOf(lpszKeyName) + "=" + TextOf(lpszString));
  return !m_over || m_over->SQLWriteFileDSN(lpszFileName, lpszAppName, lpszKeyName, lpszString);
}

bool RecordingOdbc::SQLWritePrivateProfileString(const char* lpszSection, const char* lpszEntry,
                                                 const char* lpszString, const char* lpszFilename) {
  Record(lpszFilename,
         "[" + TextOf(lpszSection) + "] " + TextOf(lpszEntry) + "=" + TextOf(lpszString));
  return !m_over ||
         m_over->SQLWritePrivateProfileString(lpszSection, lpszEntry, lpszString, lpszFilename);
}

bool RecordingOdbc::SQLWriteDSNToIni(const char* lpszDSN, const char* lpszDriver) {
  Record(lpszDSN, "write data source of " + TextOf(lpszDriver));
  return !m_over || m_over->SQLWriteDSNToIni(lpszDSN, lpszDriver);
}

bool RecordingOdbc::SQLRemoveDSNFromIni(const char* lpszDSN) {
  Record(lpszDSN, "remove data source");
  return !m_over || m_over->SQLRemoveDSNFromIni(lpszDSN);
}

}  // namespace platform
