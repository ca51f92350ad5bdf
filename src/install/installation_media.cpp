#include "install/installation_media.h"

#include <algorithm>

#include "engine/inf_reader.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "script/message_catalog.h"
#include "script/message_format.h"

namespace tarvium {
namespace {

std::string SourceDirectory(SetupRun& run) {
  std::string dir = run.variables.Get("Src");
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  return dir;
}

}  // namespace

std::string CabinetName(std::string cabTemplate, uint32_t nMedium) {
  const size_t nZeros =
      static_cast<size_t>(std::count(cabTemplate.begin(), cabTemplate.end(), '0'));
  const size_t nFirst = cabTemplate.find('0');
  if (nZeros == 0) return cabTemplate;
  std::string digits = std::to_string(nMedium);
  if (digits.size() < nZeros) digits.insert(0, nZeros - digits.size(), '0');
  digits.resize(nZeros);  // more digits than zeros: the leading ones
  const size_t nRoom = std::min(nZeros, cabTemplate.size() - nFirst);
  return cabTemplate.replace(nFirst, nRoom, digits.substr(0, nRoom));
}

std::string CabinetPath(SetupRun& run, uint32_t nMedium) {
  if (nMedium == 0) return SourceDirectory(run) + "Setup.cab";
  std::string cabTemplate = run.ctx.szCabTemplateName;
  ReplaceVariables(run, cabTemplate);
  if (cabTemplate.empty()) return {};
  return SourceDirectory(run) + CabinetName(std::move(cabTemplate), nMedium);
}

std::string MediumLabel(SetupRun& run, uint32_t nMedium) {
  const std::string number = std::to_string(nMedium == 0 ? 1 : nMedium);
  std::string label;
  if (const InfFile* pInf = InstallFile(run))
    GetValue(*pInf, "Disks", number, label, kShortTextSize);
  if (label.empty()) return FormatMessageText(GetText(run, 5030), {number});
  ReplaceVariables(run, label);
  return label;
}

}  // namespace tarvium
