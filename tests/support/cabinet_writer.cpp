#include "support/cabinet_writer.h"

#include <algorithm>

namespace tarvium::test {
namespace {

constexpr uint16_t kPrevCabinet = 0x1;
constexpr uint16_t kNextCabinet = 0x2;
constexpr uint16_t kContinuedFromPrev = 0xFFFD;
constexpr uint16_t kContinuedToNext = 0xFFFE;
constexpr uint16_t kContinuedPrevAndNext = 0xFFFF;
constexpr size_t kFolderSize = 8;

void Put16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

void Set32(std::string& out, size_t at, uint32_t value) {
  std::string bytes;
  Put32(bytes, value);
  out.replace(at, 4, bytes);
}

struct Placed {
  const CabinetMember* member;
  size_t nStart;  // offset in the folder's data
};

// The folder index of a member in a cabinet that holds the data range [nBegin, nEnd).
uint16_t FolderIndexIn(const Placed& file, size_t nBegin, size_t nEnd) {
  const size_t nFileEnd = file.nStart + file.member->data.size();
  const bool bFromPrev = file.nStart < nBegin;
  const bool bToNext = nFileEnd > nEnd;
  if (bFromPrev && bToNext) return kContinuedPrevAndNext;
  if (bFromPrev) return kContinuedFromPrev;
  if (bToNext) return kContinuedToNext;
  return 0;
}

bool Overlaps(const Placed& file, size_t nBegin, size_t nEnd) {
  const size_t nFileEnd = file.nStart + file.member->data.size();
  if (file.member->data.empty()) return file.nStart >= nBegin && file.nStart < nEnd;
  return file.nStart < nEnd && nFileEnd > nBegin;
}

std::string WriteCabinet(const std::vector<Placed>& files, const std::string& folderData,
                         size_t nBegin, size_t nEnd, size_t nBlockSize,
                         const std::vector<std::string>& names, size_t nIndex) {
  const bool bPrev = nIndex > 0;
  const bool bNext = nIndex + 1 < names.size();
  std::string header;
  header += "MSCF";
  Put32(header, 0);  // reserved
  Put32(header, 0);  // cbCabinet, set below
  Put32(header, 0);  // reserved
  Put32(header, 0);  // coffFiles, set below
  Put32(header, 0);  // reserved
  header += '\x03';
  header += '\x01';
  Put16(header, 1);  // one folder
  std::vector<const Placed*> listed;
  for (const Placed& file : files)
    if (Overlaps(file, nBegin, nEnd)) listed.push_back(&file);
  Put16(header, static_cast<uint32_t>(listed.size()));
  Put16(header, (bPrev ? kPrevCabinet : 0) | (bNext ? kNextCabinet : 0));
  Put16(header, 0x1234);  // set id
  Put16(header, static_cast<uint32_t>(nIndex));
  if (bPrev) header += names[nIndex - 1] + '\0' + "Disk" + std::to_string(nIndex) + '\0';
  if (bNext) header += names[nIndex + 1] + '\0' + "Disk" + std::to_string(nIndex + 2) + '\0';

  // The folder's blocks lie at multiples of nBlockSize; a cut inside a block ends this cabinet
  // with the block's first part (uncompressed size 0) and starts the next with the rest.
  struct Part {
    size_t nAt, nSize, nUncompressed;
  };
  std::vector<Part> parts;
  for (size_t nBlock = nBegin / nBlockSize * nBlockSize; nBlock < nEnd; nBlock += nBlockSize) {
    const size_t nBlockEnd = std::min(nBlock + nBlockSize, folderData.size());
    const size_t nFrom = std::max(nBlock, nBegin), nTo = std::min(nBlockEnd, nEnd);
    parts.push_back({nFrom, nTo - nFrom, nTo == nBlockEnd ? nBlockEnd - nBlock : 0});
  }
  std::string fileEntries;
  for (const Placed* file : listed) {
    Put32(fileEntries, static_cast<uint32_t>(file->member->data.size()));
    Put32(fileEntries, static_cast<uint32_t>(file->nStart));
    Put16(fileEntries, FolderIndexIn(*file, nBegin, nEnd));
    Put16(fileEntries, file->member->wDosDate);
    Put16(fileEntries, file->member->wDosTime);
    Put16(fileEntries, file->member->wAttributes);
    fileEntries += file->member->name + '\0';
  }
  const size_t nFolderAt = header.size();
  const size_t nFilesAt = nFolderAt + kFolderSize;
  const size_t nDataAt = nFilesAt + fileEntries.size();
  std::string cabinet = header;
  Put32(cabinet, static_cast<uint32_t>(nDataAt));
  Put16(cabinet, static_cast<uint32_t>(parts.size()));
  Put16(cabinet, 0);  // stored
  cabinet += fileEntries;
  for (const Part& part : parts) {
    Put32(cabinet, 0);  // no checksum
    Put16(cabinet, static_cast<uint32_t>(part.nSize));
    Put16(cabinet, static_cast<uint32_t>(part.nUncompressed));
    cabinet += folderData.substr(part.nAt, part.nSize);
  }
  Set32(cabinet, 8, static_cast<uint32_t>(cabinet.size()));
  Set32(cabinet, 16, static_cast<uint32_t>(nFilesAt));
  return cabinet;
}

}  // namespace

std::vector<std::string> WriteStoredCabinetSet(const std::vector<CabinetMember>& members,
                                               const std::vector<std::string>& names,
                                               size_t nDataPerCabinet, size_t nBlockSize) {
  std::string folderData;
  std::vector<Placed> files;
  for (const CabinetMember& member : members) {
    files.push_back({&member, folderData.size()});
    folderData += member.data;
  }
  // Readers expect a folder that continues to split its last block between the two cabinets.
  if (nDataPerCabinet % nBlockSize == 0) nDataPerCabinet += nBlockSize / 2;
  std::vector<std::string> cabinets;
  for (const Placed& file : files)
    if (file.nStart >= nDataPerCabinet && names.size() > 1) return cabinets;
  for (size_t nIndex = 0, nBegin = 0; nIndex < names.size(); ++nIndex) {
    const size_t nEnd = nIndex + 1 == names.size()
                            ? folderData.size()
                            : std::min(folderData.size(), nBegin + nDataPerCabinet);
    cabinets.push_back(WriteCabinet(files, folderData, nBegin, nEnd, nBlockSize, names, nIndex));
    nBegin = nEnd;
  }
  return cabinets;
}

}  // namespace tarvium::test
