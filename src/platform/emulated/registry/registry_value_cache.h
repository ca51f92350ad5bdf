// Values the registry has read before, answered again without asking SQLite while no process can
// have written since. Every write of every process on the machine counts itself twice in shared
// memory: once before it begins and once after it ends. A cached answer is good while both counts
// are equal and unchanged since it was stored; a write that began and never ended (its process
// died) leaves them unequal, and then nothing is cached: slower, never wrong.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>

#include "platform/emulated/registry/change_counter.h"
#include "platform/registry.h"

namespace platform::emulated {

class RegistryValueCache {
 public:
  // The counters live in two small files beside the registry file.
  explicit RegistryValueCache(const std::string& dbPath);

  struct Epoch {
    uint64_t nBegun = 0;
    uint64_t nDone = 0;
    bool IsQuiet() const { return nBegun == nDone; }
    bool operator==(const Epoch&) const = default;
  };
  Epoch Now() const { return {begun_.Read(), done_.Read()}; }

  // The answer stored under key in this epoch, or null.
  bool Find(const Epoch& epoch, const std::string& key, uint32_t& dwResult, RegValue& value);
  // Keeps an answer read in `epoch` if no write has begun since.
  void Store(const Epoch& epoch, const std::string& key, uint32_t dwResult, const RegValue& value);

  void WriteBegins() { begun_.Bump(); }
  void WriteEnds() { done_.Bump(); }

 private:
  struct Answer {
    uint32_t dwResult;
    RegValue value;
  };
  static constexpr size_t kMaxAnswers = 65536;

  ChangeCounter begun_;
  ChangeCounter done_;
  Epoch epoch_;
  std::unordered_map<std::string, Answer> answers_;
};

}  // namespace platform::emulated
