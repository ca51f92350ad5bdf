// VerQueryValue walks the tree one key at a time. Every node is read inside a slice of its
// parent bounded by its own length, so a length that overstates the data is cut to what is there,
// and every node is at least its six header bytes long, so walking a list of children always
// moves forward. The depth is the number of keys asked for, never more.
#include "script/version_block.h"

#include <algorithm>

#include "platform/byte_reader.h"
#include "platform/code_page.h"

namespace tarvium {
namespace {

using platform::ByteReader;

constexpr size_t kAlignment = 4;
constexpr uint16_t kNodeHeaderSize = 6;  // wLength, wValueLength, wType
constexpr uint16_t kTextType = 1;

struct VersionNode {
  std::u16string szKey;
  std::span<const uint8_t> value;
  ByteReader children;
};

// The bytes of a text value before its terminator. wValueLength counts characters, but some
// tools count bytes, so the text ends at the first zero character or at the end of the node;
// the node's reader moves past the declared length (cut to the node).
std::span<const uint8_t> TextBefore(ByteReader& node, uint16_t wValueLength) {
  std::span<const uint8_t> text;
  if (wValueLength == 0) return text;
  ByteReader scan = node;
  size_t nChars = 0;
  for (uint16_t wChar = 0; scan.ReadU16(wChar) && wChar != 0;) ++nChars;
  ByteReader copy = node;
  copy.ReadBytes(nChars * 2, text);
  node.Skip(std::min(size_t{wValueLength} * 2, node.Remaining()));
  return text;
}

// Reads the node at the list's position (after its alignment) and moves the list past it.
bool ReadNode(ByteReader& list, VersionNode& node) {
  if (!list.AlignTo(kAlignment)) return false;
  const size_t nStart = list.Position();
  uint16_t wLength = 0;
  if (!list.ReadU16(wLength) || wLength < kNodeHeaderSize) return false;
  const auto slice = list.Slice(nStart, std::min<size_t>(wLength, list.Size() - nStart));
  if (!slice) return false;
  ByteReader reader = *slice;
  list.Seek(nStart + reader.Size());
  uint16_t wValueLength = 0, wType = 0;
  if (!reader.Skip(2) || !reader.ReadU16(wValueLength) || !reader.ReadU16(wType) ||
      !reader.ReadUtf16z(node.szKey))
    return false;
  node.value = {};
  node.children = ByteReader();
  if (!reader.AlignTo(kAlignment)) return true;  // a node that ends with its key
  if (wType == kTextType) {
    node.value = TextBefore(reader, wValueLength);
  } else {
    reader.ReadBytes(std::min<size_t>(wValueLength, reader.Remaining()), node.value);
  }
  if (reader.AlignTo(kAlignment))
    node.children = reader.Slice(reader.Position(), reader.Remaining()).value_or(ByteReader());
  return true;
}

bool KeyEquals(std::u16string_view key, std::string_view name) {
  const auto fold = [](char32_t c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
  return key.size() == name.size() &&
         std::equal(key.begin(), key.end(), name.begin(), [&](char16_t k, char n) {
           return fold(k) == fold(platform::AnsiCharToUnicode(static_cast<unsigned char>(n)));
         });
}

bool FindChild(const VersionNode& parent, std::string_view name, VersionNode& child) {
  ByteReader list = parent.children;
  while (ReadNode(list, child)) {
    if (KeyEquals(child.szKey, name)) return true;
  }
  return false;
}

}  // namespace

bool VerQueryValue(std::span<const uint8_t> block, std::string_view subBlock,
                   std::span<const uint8_t>& value) {
  ByteReader root(block);
  VersionNode node;
  if (!ReadNode(root, node)) return false;
  while (!subBlock.empty()) {
    const size_t nSeparator = subBlock.find('\\');
    const std::string_view name = subBlock.substr(0, nSeparator);
    subBlock = nSeparator == std::string_view::npos ? "" : subBlock.substr(nSeparator + 1);
    if (name.empty()) continue;
    VersionNode child;
    if (!FindChild(node, name, child)) return false;
    node = std::move(child);
  }
  value = node.value;
  return true;
}

bool VerQueryText(std::span<const uint8_t> block, std::string_view subBlock, std::string& text) {
  text.clear();
  std::span<const uint8_t> value;
  if (!VerQueryValue(block, subBlock, value)) return false;
  std::u16string wide;
  ByteReader reader(value);
  reader.ReadUtf16(value.size() / 2, wide);
  text = platform::Utf16ToAnsi(wide);
  return true;
}

}  // namespace tarvium
