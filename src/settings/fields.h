#pragma once
// How the settings dialog turns the fields of a description file into its grid: the input
// kind of each type word, the cell positions, the tooltip text, and which fields are queried
// and get an input. Plain C++; the dialog only creates what the plan says.
#include <string>
#include <string_view>
#include <vector>

#include "settings/description.h"

namespace settings {

enum class InputKind {
  None,   // caption only
  Text,   // STRING: single-line text, 100 wide, empty at first
  Spin,   // INT: whole number without bounds, step 1, 0 at first
  Check,  // BOOL: a bare check box, 15 wide, unchecked at first
};

// The kind for a type word, compared in upper case ("int" and "Int" count as INT).
InputKind KindOf(std::string_view typeWord);

// A Name that in upper case is "EMPTY" makes no label, no input and no query.
bool IsEmptyName(std::string_view name);
// Letters, digits and underscores, not beginning with a digit.
bool IsIdentifier(std::string_view name);
// Equal without regard to the case of the letters a to z.
bool SameName(std::string_view a, std::string_view b);
// The form in which names are compared (upper case): SameName(a, b) is NameKey(a) == NameKey(b).
std::string NameKey(std::string_view name);

// "Default value : " + default, then a lone carriage return + "Description: " + hint when
// there is a hint. With no default the text begins with the carriage return; with neither it
// is empty.
std::string TooltipText(std::string_view defaultValue, std::string_view hint);

// Grid: three columns of 200 pixels, rows of 25, filled row by row.
struct Cell {
  int left = 0;
  int top = 0;
  int width = 0;
};
inline constexpr int kGridColumns = 3;
Cell LabelCell(int slot);
Cell InputCell(int slot, InputKind kind);

// One field that shows something.
struct FieldPlan {
  int slot = 0;  // its grid cell (the field's index in the file, gaps included)
  FieldDescription field;
  InputKind kind = InputKind::None;  // the type word's kind
  bool input = false;                // an input is made (kind is not None and the name is usable)
  // The value is asked for. Only a Name that is an identifier is sent: the query is the Name as
  // a remote command, and "sv_hostname x" or "map q3dm1" would change the server instead of
  // reading it.
  bool query = false;
};

struct BuildPlan {
  std::vector<FieldPlan> fields;  // in file order
  // Building stopped at the last field of the list: its Name cannot identify an input (not an
  // identifier, or an earlier input has it). That field shows its caption only; the fields
  // after it are left out.
  bool stopped = false;
};

BuildPlan PlanFields(const std::vector<FieldDescription>& fields);

}  // namespace settings
