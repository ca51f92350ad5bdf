// --fill-sizes: writes into the size field of every copy line met whose source is on the media
// the size the installed file will have, in the bytes of the file itself, so that everything else
// (line endings, encoding, comments, blanks) stays as it was. Fields a line lacks before the size
// are added empty.
#pragma once
#include <string>

#include "media_check.h"
#include "option_walk.h"

namespace tarvium::lint {

// Rewrites bytes (the ANSI or UTF-8 file that inf was read from, at the machine's path self) for
// the copy lines an installation reaches; the number of lines that changed. A line that copies
// the file itself gets the size the file has after the rewrite.
int FillSizes(Media& media, const InfFile& inf, const std::string& self, std::string& bytes);

}  // namespace tarvium::lint
