#include "pages/system_set_page.h"

#include <algorithm>

#include "pages/record_fields.h"

namespace qtk {
namespace {

// Typed numbers stay far from overflow; the delays are bytes.
constexpr long long kTypedMax = 1 << 20;

// The combo's selection into its record byte; without a selection the byte keeps its value,
// which names no entry of the list either.
void PutSelection(CustomerSettings& s, size_t offset, const ComboState& combo) {
  if (combo.HasSelection())
    s.SetU8(offset, combo.StoredByte());
}

}  // namespace

SystemSetPage::OwnBytes SystemSetPage::ReadOwnBytes() const {
  OwnBytes bytes{};
  const auto& record = settings().bytes();
  std::copy_n(record.begin() + record::kClockPadBlock, record::kClockPadBlockSize, bytes.begin());
  std::copy_n(record.begin() + record::kSysPassword1, 2 * record::kSysPasswordSize,
              bytes.begin() + record::kClockPadBlockSize);
  return bytes;
}

void SystemSetPage::WriteOwnBytes(const OwnBytes& bytes) {
  auto& record = settings().bytes();
  std::copy_n(bytes.begin(), record::kClockPadBlockSize, record.begin() + record::kClockPadBlock);
  std::copy_n(bytes.begin() + record::kClockPadBlockSize, 2 * record::kSysPasswordSize,
              record.begin() + record::kSysPassword1);
}

void SystemSetPage::Load() {
  advanced_ = false;
  group_shown_ = config().switches.customer_config_enable != 0;
  SetAdvanced(false);
  if (shared().applying_setting_file) {
    // The page keeps what it shows, and the record keeps it too: the clocks and pads of this
    // board are never taken over from another board's setting file behind the page's back.
    WriteOwnBytes(own_bytes_);
    return;
  }

  const CustomerSettings& s = settings();
  cpu_clock.Fill(config().GetCPUClock(), s.U8(record::kCpuClock));
  memory_clock.Fill(config().GetMemClock(), s.U8(record::kMemClock));
  data_pad_driver.Fill(config().GetDataPadDrv(), s.U8(record::kDataPadDriver));
  command_pad_driver.Fill(config().GetCmdPadDrv(), s.U8(record::kCommandPadDriver));
  delay_chain_ = {s.U8(record::kClockDelayChain), config().limits.clock_dly_chain_min,
                  config().limits.clock_dly_chain_max, false};
  clock_tree_ = {s.U8(record::kClockTreeDelay), config().limits.clock_tree_dly_min,
                 config().limits.clock_tree_dly_max, false};
  password1 = ReadTextField(s, record::kSysPassword1, record::kSysPasswordSize);
  password2 = ReadTextField(s, record::kSysPassword2, record::kSysPasswordSize);
  // A limit of 0 is no limit for the edit; the record keeps 5 characters at most either way.
  const size_t max_length = config().limits.password_max_length;
  password_length_ =
      max_length == 0 ? kSysPasswordMaxStored : std::min(max_length, kSysPasswordMaxStored);
  own_bytes_ = ReadOwnBytes();
}

void SystemSetPage::SetAdvanced(bool ticked) {
  advanced_ = ticked && group_shown_;
  for (ComboState* c : {&cpu_clock, &memory_clock, &data_pad_driver, &command_pad_driver})
    c->enabled = advanced_;
}

bool SystemSetPage::Store() {
  FinishEditing();
  if (!advanced_)
    return true;
  CustomerSettings& s = settings();
  PutSelection(s, record::kCpuClock, cpu_clock);
  PutSelection(s, record::kMemClock, memory_clock);
  PutSelection(s, record::kDataPadDriver, data_pad_driver);
  PutSelection(s, record::kCommandPadDriver, command_pad_driver);
  s.SetU8(record::kClockDelayChain, static_cast<uint8_t>(delay_chain_.value));
  s.SetU8(record::kClockTreeDelay, static_cast<uint8_t>(clock_tree_.value));
  WriteTextField(s, record::kSysPassword1, record::kSysPasswordSize,
                 std::string_view(password1).substr(0, kSysPasswordMaxStored));
  WriteTextField(s, record::kSysPassword2, record::kSysPasswordSize,
                 std::string_view(password2).substr(0, kSysPasswordMaxStored));
  own_bytes_ = ReadOwnBytes();
  return true;
}

void SystemSetPage::Type(Delay& delay, long long value) {
  delay.value = static_cast<int>(std::clamp<long long>(value, 0, kTypedMax));
  delay.changed = true;
}

void SystemSetPage::Finish(Delay& delay) {
  if (!delay.changed)
    return;
  if (delay.value < delay.min || delay.value > delay.max)
    delay.value = delay.min;
  delay.changed = false;
}

void SystemSetPage::Step(Delay& delay, int step) {
  Finish(delay);
  if (step > 0) {
    delay.value = delay.value + 1 > delay.max ? delay.min : delay.value + 1;
  } else if (step < 0) {
    delay.value = delay.value - 1 < delay.min ? delay.max : delay.value - 1;
  }
}

void SystemSetPage::TypeClockTreeDelay(long long value) {
  Type(clock_tree_, value);
}
void SystemSetPage::TypeClockDelayChain(long long value) {
  Type(delay_chain_, value);
}
void SystemSetPage::FinishClockTreeDelay() {
  Finish(clock_tree_);
}
void SystemSetPage::FinishClockDelayChain() {
  Finish(delay_chain_);
}
void SystemSetPage::StepClockTreeDelay(int step) {
  Step(clock_tree_, step);
}
void SystemSetPage::StepClockDelayChain(int step) {
  Step(delay_chain_, step);
}

void SystemSetPage::FinishEditing() {
  Finish(clock_tree_);
  Finish(delay_chain_);
}

bool SystemSetPage::Validate() {
  FinishEditing();
  return true;
}

std::vector<PageField> SystemSetPage::Fields() {
  auto shown = [this] { return group_shown_; };
  auto enabled = [this] { return advanced_; };
  // The check box: "On" ticks it.
  PageField box;
  box.name = kAdvancedCaption;
  box.kind = FieldKind::kChoice;
  box.choices = [] { return std::vector<std::string>{"Off", "On"}; };
  box.get = [this] { return FieldValue(std::string(advanced_ ? "On" : "Off")); };
  box.set = [this](const FieldValue& value) {
    SetAdvanced(std::get<std::string>(value) == "On");
    return std::string();
  };
  auto delay = [&](const char* name, const Delay& d, void (SystemSetPage::*type)(long long),
                   void (SystemSetPage::*finish)()) {
    return NumberField(
               name, kDelayDigits, [&d] { return d.value; },
               [this, type, finish](long long value) {
                 (this->*type)(value);
                 (this->*finish)();
               })
        .ShownWhen(shown)
        .EnabledWhen(enabled);
  };
  auto password = [&](const char* name, std::string& text) {
    return TextField(
               name, password_length_, config().password_limit, [&text] { return text; },
               [&text](const std::string& typed) { text = typed; })
        .ShownWhen(shown)
        .EnabledWhen(enabled);
  };
  auto combo = [&](const char* name, ComboState& state) {
    return ChoiceField(name, state).ShownWhen(shown);
  };
  std::vector<PageField> fields;
  fields.push_back(std::move(box).ShownWhen(shown));
  fields.push_back(combo("CPU clock", cpu_clock));
  fields.push_back(combo("Memory clock", memory_clock));
  fields.push_back(combo("Data Pad Driver", data_pad_driver));
  fields.push_back(combo("Command Pad Driver", command_pad_driver));
  fields.push_back(delay("Clock tree delay", clock_tree_, &SystemSetPage::TypeClockTreeDelay,
                         &SystemSetPage::FinishClockTreeDelay));
  fields.push_back(delay("Clock delay chain", delay_chain_, &SystemSetPage::TypeClockDelayChain,
                         &SystemSetPage::FinishClockDelayChain));
  fields.push_back(password("Sys password 1", password1));
  fields.push_back(password("Sys password 2", password2));
  return fields;
}

}  // namespace qtk
