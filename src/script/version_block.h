// Reading values out of a raw version resource (VS_VERSIONINFO), as VerQueryValue does: the block
// is a tree of nodes, each with its length, its value's length and type, a UTF-16 key, the value
// and the child nodes, every part aligned to four bytes from the start of the block. A value is
// named by the keys on its path ("\StringFileInfo\040904E4\FileDescription"); "\" names the
// root's value, the fixed file information. Damaged blocks make a query fail, never read outside.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tarvium {

// The value of the node at subBlock (keys separated by backslashes, compared without regard to
// case): for a binary node its bytes, for a text node the bytes of its UTF-16 characters before
// the terminator. False when a key is missing or the block is damaged on the way.
bool VerQueryValue(std::span<const uint8_t> block, std::string_view subBlock,
                   std::span<const uint8_t>& value);
// The value of a text node at subBlock in ANSI text.
bool VerQueryText(std::span<const uint8_t> block, std::string_view subBlock, std::string& text);

}  // namespace tarvium
