// The pages' own labels (UTF-8, page_texts.h) as the wide-character windows take them. The run's
// texts are ANSI and go through the platform's conversions (win32_wide_text.h).
#pragma once
#include <string>

namespace tarvium::ui::win32 {

std::wstring WideFromUtf8(const std::string& utf8Text);

}  // namespace tarvium::ui::win32
