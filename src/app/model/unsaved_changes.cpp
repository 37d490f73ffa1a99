#include "app/model/unsaved_changes.h"

namespace qtk {

std::string EditableState(const std::vector<std::unique_ptr<SettingsPage>>& pages,
                          const FirmwareProject& project, const LoadSession& session) {
  std::string state;
  // Each piece ends with a separator no value holds, so two pieces never run into each other.
  auto add = [&state](const std::string& piece) {
    state += piece;
    state += '\0';
  };
  for (const auto& page : pages) {
    add(page->GetName());
    for (const PageField& field : page->Fields()) {
      add(field.name);
      add(field.get ? DescribeValue(field.get()) : std::string());
    }
  }
  for (int i = 0; i < project.chunks.count; ++i) {
    const ChunkEntry& chunk = project.chunks.entries[static_cast<size_t>(i)];
    add(chunk.replace ? "mark " + chunk.replacement_path : "none");
  }
  add(session.current_password);
  add(project.password_refresh ? "refresh" : "keep");
  return state;
}

}  // namespace qtk
