#pragma once

#include <array>
#include <string>
#include <vector>

#include "pages/combo_state.h"
#include "pages/page_base.h"
#include "settings/record_layout.h"

namespace qtk {

inline constexpr const char* kAdvancedCaption =
    "Advanced: WARNING! Modify following configurations is dangerous!";
// The record keeps each system password in 6 bytes with its terminating zero.
inline constexpr size_t kSysPasswordMaxStored = record::kSysPasswordSize - 1;
// The delay edits take a byte value.
inline constexpr size_t kDelayDigits = 3;

// The System set page: CPU and memory clocks, memory pad drive strengths, two clock delays and
// two system passwords, all behind the "Advanced" check box: nothing reaches the record unless
// it is ticked.
class SystemSetPage : public PageModel<PageId::kSystemSet> {
 public:
  // A delay edit with its own range. Typing goes through Type; the range rule runs when the
  // edit is left (Finish), only for a value the user changed.
  struct Delay {
    int value = 0;
    int min = 0;
    int max = 0;
    bool changed = false;
    bool operator==(const Delay&) const = default;
  };

  using PageModel::PageModel;

  void Load() override;
  bool Store() override;
  bool Validate() override;
  void FinishEditing() override;
  std::vector<PageField> Fields() override;

  // The whole group (box, combos, edits, spins) is shown only with CustomerConfigEnable.
  bool group_shown() const { return group_shown_; }
  bool advanced() const { return advanced_; }
  // Ticking or unticking the box enables or disables the group's controls.
  void SetAdvanced(bool ticked);

  ComboState cpu_clock;
  ComboState memory_clock;
  ComboState data_pad_driver;
  ComboState command_pad_driver;

  const Delay& clock_tree_delay() const { return clock_tree_; }
  const Delay& clock_delay_chain() const { return delay_chain_; }
  void TypeClockTreeDelay(long long value);
  void TypeClockDelayChain(long long value);
  void FinishClockTreeDelay();
  void FinishClockDelayChain();
  // The spin buttons: +1 is the up arrow (the value grows, wrapping from MaxValue to
  // MinValue), -1 the down arrow (it shrinks, wrapping from MinValue to MaxValue).
  void StepClockTreeDelay(int step);
  void StepClockDelayChain(int step);

  // The two passwords as typed; the edits take only [Password] Limit characters.
  std::string password1;
  std::string password2;
  // How many characters each password edit takes: [Password] MaxLength, never more than the
  // record can keep.
  size_t password_length() const { return password_length_; }
  const std::string& password_characters() const { return config().password_limit; }

 private:
  // Record bytes the page owns: the clock and pad block and both passwords.
  using OwnBytes = std::array<uint8_t, record::kClockPadBlockSize + 2 * record::kSysPasswordSize>;
  OwnBytes ReadOwnBytes() const;
  void WriteOwnBytes(const OwnBytes& bytes);
  static void Type(Delay& delay, long long value);
  static void Finish(Delay& delay);
  static void Step(Delay& delay, int step);

  bool group_shown_ = false;
  bool advanced_ = false;
  Delay clock_tree_;
  Delay delay_chain_;
  size_t password_length_ = kSysPasswordMaxStored;
  // The page's fields as this page last read or wrote them: a setting file applied over the
  // record leaves them as the page shows them.
  OwnBytes own_bytes_{};
};

}  // namespace qtk
