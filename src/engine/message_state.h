// The message catalog's state for one run: the language its texts come from and the switches
// that change how a message is answered (beep, system-modal, answered at once), and the text of
// the most recent message. The script engine's catalog reads and sets it; the engine sets the
// system-modal switch around a shutdown question. Kept on the run, like every other run state.
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

inline constexpr uint32_t kLocaleEnglish = 0x0409;
inline constexpr uint32_t kLocaleGerman = 0x0407;
inline constexpr uint32_t kLocaleFrench = 0x040C;
inline constexpr uint32_t kLocaleOther = 0x040A;  // a language without a catalog: English texts

struct MessageState {
  uint32_t lcidLanguage = kLocaleEnglish;  // the run's language, chosen once at start
  bool bBeep = true;                       // a box plays its icon's sound
  bool bSystemModal = false;               // boxes are system-modal and show no Help button
  bool bAnswerAtOnce = false;  // with an error file, a box takes its default button at once
  std::string szLastError;     // the formatted text of the most recent message
  std::string szHelpFile;      // the help file of the run's language, once one is known
  bool bMainWindow = false;    // the main window exists (help is opened through it)
};

}  // namespace tarvium
