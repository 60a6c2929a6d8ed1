#include "settings/fields.h"

#include <unordered_set>

#include "platform/ascii.h"

namespace settings {

InputKind KindOf(std::string_view typeWord) {
  const std::string word = platform::AsciiUpperCase(typeWord);
  if (word == "STRING") return InputKind::Text;
  if (word == "INT") return InputKind::Spin;
  if (word == "BOOL") return InputKind::Check;
  return InputKind::None;
}

bool IsEmptyName(std::string_view name) { return platform::SameTextNoCase(name, "EMPTY"); }

bool IsIdentifier(std::string_view name) {
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
  for (const char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  return true;
}

bool SameName(std::string_view a, std::string_view b) { return platform::SameTextNoCase(a, b); }

std::string NameKey(std::string_view name) { return platform::AsciiUpperCase(name); }

std::string TooltipText(std::string_view defaultValue, std::string_view hint) {
  std::string text(defaultValue);
  if (!defaultValue.empty()) text = "Default value : " + text;
  if (!hint.empty()) text += "\rDescription: " + std::string(hint);
  return text;
}

Cell LabelCell(int slot) {
  const int column = slot % kGridColumns;
  const int row = slot / kGridColumns;
  return {column * 200 + 10, row * 25 + 14, 100};
}

Cell InputCell(int slot, InputKind kind) {
  const int column = slot % kGridColumns;
  const int row = slot / kGridColumns;
  if (kind == InputKind::Check) return {column * 200 + 115, row * 25 + 13, 15};
  return {column * 200 + 115, row * 25 + 10, 100};
}

BuildPlan PlanFields(const std::vector<FieldDescription>& fields) {
  BuildPlan plan;
  std::unordered_set<std::string> inputNames;  // NameKey of each
  for (size_t n = 0; n < fields.size(); ++n) {
    const FieldDescription& f = fields[n];
    if (IsEmptyName(f.name)) continue;
    FieldPlan p;
    p.slot = static_cast<int>(n);
    p.field = f;
    p.kind = KindOf(f.type);
    p.query = IsIdentifier(f.name);
    bool usable = true;
    if (p.kind != InputKind::None) {
      usable = p.query && inputNames.insert(NameKey(f.name)).second;
      p.input = usable;
    }
    plan.fields.push_back(std::move(p));
    if (!usable) {
      plan.stopped = true;
      break;
    }
  }
  return plan;
}

}  // namespace settings
