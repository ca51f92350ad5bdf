#include "platform/multi_sz.h"

#include <algorithm>

namespace platform {

std::vector<std::string> DecodeMultiSz(const std::vector<uint8_t>& data, size_t nMaxBytes) {
  std::vector<std::string> strings;
  const size_t nSize = std::min(data.size(), nMaxBytes);
  std::string current;
  for (size_t i = 0; i < nSize; ++i) {
    if (data[i] != 0) {
      current += static_cast<char>(data[i]);
      continue;
    }
    if (current.empty()) break;
    strings.push_back(std::move(current));
    current.clear();
  }
  if (!current.empty()) strings.push_back(std::move(current));
  return strings;
}

std::vector<uint8_t> EncodeMultiSz(const std::vector<std::string>& strings) {
  std::vector<uint8_t> data;
  for (const std::string& text : strings) {
    data.insert(data.end(), text.begin(), text.end());
    data.push_back(0);
  }
  data.push_back(0);
  return data;
}

}  // namespace platform
