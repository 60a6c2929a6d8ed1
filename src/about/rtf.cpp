#include "about/rtf.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <limits>

namespace about::rtf {
namespace {

constexpr size_t kMaxDepth = 256;       // deeper groups are read as part of the deepest one
constexpr size_t kMaxWordLength = 32;   // longer control words are read but not known
constexpr char16_t kLineSeparator = 0x2028;

enum class Destination {
  Text,        // shown
  ColorTable,  // \colortbl
  FontTable,   // \fonttbl
  Skip,        // read and dropped
};

struct State {
  CharFormat chars;
  ParagraphFormat paragraph;
  Destination destination = Destination::Text;
  int unicodeSkip = 1;  // \ucN: characters standing in for each \uN
};

// Control words that open a group whose content is not text.
constexpr std::string_view kSkippedDestinations[] = {
    "stylesheet", "info",      "pict",       "object",     "objdata",   "header",     "headerl",
    "headerr",   "headerf",    "footer",    "footerl",    "footerr",    "footerf",   "footnote",   "annotation",
    "atnid",     "atnauthor",  "fldinst",   "themedata",  "colorschememapping",      "datastore",  "latentstyles",
    "listtable", "listoverridetable",       "revtbl",     "rsidtbl",    "generator", "xmlnstbl",   "filetbl",
    "pn",        "pntxta",     "pntxtb",    "bkmkstart",  "bkmkend",    "nonshppict", "shpinst",   "sp",
    "sn",        "sv",         "mmathPr",   "userprops",  "docvar",     "template",  "author",     "operator",
    "title",     "subject",    "keywords",  "comment",    "doccomm",    "company",   "buptim",     "creatim",
    "printim",   "revtim",     "txe",       "xe",         "tc",         "private",   "pgdsctbl",   "wgrffmtfilter",
};

constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Parser {
 public:
  explicit Parser(std::string_view input) : in_(input) { stack_.emplace_back(); }

  Document Run() {
    while (pos_ < in_.size() && !finished_) Step();
    EndParagraph(false);
    return std::move(doc_);
  }

 private:
  State& Current() { return stack_.back(); }

  void Step() {
    const char c = in_[pos_++];
    switch (c) {
      case '{': OpenGroup(); break;
      case '}': CloseGroup(); break;
      case '\\': Control(); break;
      case '\r':
      case '\n': break;
      case '\t': Character(u'\t'); break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20) Character(FromWindows1252(static_cast<uint8_t>(c)));
        break;
    }
  }

  void OpenGroup() {
    pendingSkip_ = 0;
    starred_ = false;
    if (stack_.size() >= kMaxDepth) {
      ++overflow_;
      return;
    }
    stack_.push_back(Current());
    rootOpened_ = true;
  }

  void CloseGroup() {
    pendingSkip_ = 0;
    starred_ = false;
    if (overflow_ > 0) {
      --overflow_;
      return;
    }
    if (stack_.size() <= 1) return;  // a stray closing brace
    stack_.pop_back();
    // The document ends with the group it began with; what follows is not part of it.
    if (stack_.size() == 1 && rootOpened_) finished_ = true;
  }

  void Control() {
    if (pos_ >= in_.size()) return;
    const char c = in_[pos_];
    if (!IsLetter(c)) {
      ++pos_;
      Symbol(c);
      return;
    }
    std::string word;
    while (pos_ < in_.size() && IsLetter(in_[pos_])) {
      if (word.size() <= kMaxWordLength) word.push_back(in_[pos_]);
      ++pos_;
    }
    std::optional<int> param;
    const bool negative = pos_ + 1 < in_.size() && in_[pos_] == '-' && IsDigit(in_[pos_ + 1]);
    if (negative) ++pos_;
    if (pos_ < in_.size() && IsDigit(in_[pos_])) {
      int64_t value = 0;
      while (pos_ < in_.size() && IsDigit(in_[pos_])) {
        value = std::min<int64_t>(value * 10 + (in_[pos_] - '0'), std::numeric_limits<int>::max());
        ++pos_;
      }
      param = static_cast<int>(negative ? -value : value);
    }
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
    if (word.size() > kMaxWordLength) word.clear();  // no such word; its text is still dropped
    Word(word, param);
  }

  void Symbol(char c) {
    starred_ = c == '*';
    if (c == '*') return;
    if (c == '\'') {
      int value = 0;
      int digits = 0;
      while (digits < 2 && pos_ < in_.size() && HexValue(in_[pos_]) >= 0) {
        value = value * 16 + HexValue(in_[pos_++]);
        ++digits;
      }
      if (digits > 0) Character(FromWindows1252(static_cast<uint8_t>(value)));
      return;
    }
    if (Skipping()) return;
    switch (c) {
      case '\\':
      case '{':
      case '}': Character(static_cast<char16_t>(c)); break;
      case '~': Character(0x00A0); break;
      case '_': Character(0x2011); break;
      case '\r':
      case '\n': Paragraph(); break;
      default: break;  // "\-" optional hyphen, "\:" index sub-entry, "\|" formula, noise
    }
  }

  // The characters after \uN that stand in for it: each text character, \'hh, control
  // symbol or control word counts one.
  bool Skipping() {
    if (pendingSkip_ == 0) return false;
    --pendingSkip_;
    return true;
  }

  void Word(const std::string& word, std::optional<int> param) {
    const bool starred = starred_;
    starred_ = false;
    if (word == "bin") {
      // Binary data of N bytes follows; never shown, and it may hold braces.
      const int64_t count = std::max(0, param.value_or(0));
      pos_ += static_cast<size_t>(std::min<int64_t>(count, static_cast<int64_t>(in_.size() - pos_)));
      return;
    }
    if (Skipping()) return;
    if (starred || std::find(std::begin(kSkippedDestinations), std::end(kSkippedDestinations), word) != std::end(kSkippedDestinations)) {
      Current().destination = Destination::Skip;
      return;
    }
    if (Current().destination == Destination::Skip) return;
    if (Current().destination == Destination::ColorTable) {
      ColorComponent(word, param.value_or(0));
      return;
    }
    if (Current().destination == Destination::FontTable) {
      FontProperty(word, param);
      return;
    }
    if (!word.empty()) Apply(word, param);
  }

  void Apply(const std::string& w, std::optional<int> param) {
    const int n = param.value_or(0);
    const bool on = !param || *param != 0;
    CharFormat& f = Current().chars;
    ParagraphFormat& p = Current().paragraph;
    // Text
    if (w == "par" || w == "sect" || w == "page" || w == "row" || w == "nestrow") return Paragraph();
    if (w == "line") return Character(kLineSeparator);
    if (w == "tab" || w == "cell" || w == "nestcell") return Character(u'\t');
    if (w == "u") {
      Character(static_cast<char16_t>(n < 0 ? n + 65536 : n));
      pendingSkip_ = Current().unicodeSkip;
      return;
    }
    if (w == "uc") {
      Current().unicodeSkip = std::max(0, n);
      return;
    }
    static constexpr std::pair<std::string_view, char16_t> kSpecials[] = {
        {"bullet", 0x2022},    {"endash", 0x2013},    {"emdash", 0x2014},  {"lquote", 0x2018},
        {"rquote", 0x2019},    {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"enspace", 0x2002},
        {"emspace", 0x2003},   {"qmspace", 0x2005},   {"zwj", 0x200D},     {"zwnj", 0x200C},
    };
    for (const auto& [name, ch] : kSpecials)
      if (w == name) return Character(ch);
    // Destinations
    if (w == "colortbl") {
      Current().destination = Destination::ColorTable;
      colors_.clear();
      color_ = Color{};
      colorGiven_ = false;
      return;
    }
    if (w == "fonttbl") {
      Current().destination = Destination::FontTable;
      font_ = Font{};
      return;
    }
    if (w == "deff") {
      defaultFont_ = n;
      f.font = n;
      return;
    }
    if (w == "deftab") {
      if (n > 0) doc_.defaultTab = n;
      return;
    }
    // Character formatting
    if (w == "plain") {
      f = CharFormat{};
      f.font = defaultFont_;
    } else if (w == "f") {
      f.font = n;
    } else if (w == "b") {
      f.bold = on;
    } else if (w == "i") {
      f.italic = on;
    } else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "uldash" || w == "ulth" || w == "ulwave") {
      f.underline = on;
    } else if (w == "ulnone") {
      f.underline = false;
    } else if (w == "strike" || w == "striked") {
      f.strikeOut = on;
    } else if (w == "v") {
      f.hidden = on;
    } else if (w == "fs") {
      if (n > 0) f.fontSize = std::min(n, 3276);
    } else if (w == "cf") {
      f.color = TableColor(n);
    } else if (w == "highlight" || w == "cb" || w == "chcbpat") {
      f.highlight = TableColor(n);
    // Paragraph formatting
    } else if (w == "pard") {
      p = ParagraphFormat{};
    } else if (w == "ql") {
      p.alignment = Alignment::Left;
    } else if (w == "qc") {
      p.alignment = Alignment::Center;
    } else if (w == "qr") {
      p.alignment = Alignment::Right;
    } else if (w == "qj") {
      p.alignment = Alignment::Justify;
    } else if (w == "li") {
      p.leftIndent = n;
    } else if (w == "ri") {
      p.rightIndent = n;
    } else if (w == "fi") {
      p.firstLineIndent = n;
    } else if (w == "sb") {
      p.spaceBefore = std::max(0, n);
    } else if (w == "sa") {
      p.spaceAfter = std::max(0, n);
    } else if (w == "tx") {
      if (n > 0 && p.tabStops.size() < 64) p.tabStops.push_back(n);
    }
  }

  void ColorComponent(const std::string& word, int value) {
    const auto component = static_cast<uint8_t>(std::clamp(value, 0, 255));
    if (word == "red") {
      color_.red = component;
    } else if (word == "green") {
      color_.green = component;
    } else if (word == "blue") {
      color_.blue = component;
    } else {
      return;
    }
    colorGiven_ = true;
  }

  void FontProperty(const std::string& word, std::optional<int> param) {
    static constexpr std::pair<std::string_view, FontFamily> kFamilies[] = {
        {"fnil", FontFamily::Any},       {"froman", FontFamily::Roman},   {"fswiss", FontFamily::Swiss},
        {"fmodern", FontFamily::Modern}, {"fscript", FontFamily::Script}, {"fdecor", FontFamily::Decorative},
    };
    if (word == "f") {
      font_ = Font{};
      font_.number = param.value_or(0);
      return;
    }
    if (word == "fprq") {
      font_.fixedPitch = font_.fixedPitch || param.value_or(0) == 1;
      return;
    }
    for (const auto& [name, family] : kFamilies)
      if (word == name) {
        font_.family = family;
        if (family == FontFamily::Modern) font_.fixedPitch = true;
      }
  }

  std::optional<Color> TableColor(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= colors_.size()) return std::nullopt;
    return colors_[static_cast<size_t>(index)];
  }

  void Character(char16_t c) {
    if (Skipping()) return;
    switch (Current().destination) {
      case Destination::Skip: return;
      case Destination::ColorTable:
        if (c == u';') {
          // An entry without components is the automatic colour (usually the first).
          colors_.push_back(colorGiven_ ? std::optional<Color>(color_) : std::nullopt);
          color_ = Color{};
          colorGiven_ = false;
        }
        return;
      case Destination::FontTable:
        if (c == u';') {
          while (!font_.name.empty() && font_.name.back() == u' ') font_.name.pop_back();
          if (doc_.fonts.size() < 4096) doc_.fonts.push_back(font_);
          const int number = font_.number;
          font_ = Font{};
          font_.number = number;
        } else if (font_.name.size() < 256 && !(font_.name.empty() && c == u' ')) {
          font_.name.push_back(c);
        }
        return;
      case Destination::Text: break;
    }
    const CharFormat& f = Current().chars;
    if (f.hidden) return;
    if (paragraph_.runs.empty() || !(paragraph_.runs.back().format == f)) paragraph_.runs.push_back(rtf::Run{{}, f});
    paragraph_.runs.back().text.push_back(c);
  }

  void Paragraph() {
    if (Current().destination != Destination::Text) return;
    EndParagraph(true);
  }

  // Ends the paragraph being read; at the end of the document only when it holds text.
  void EndParagraph(bool always) {
    if (!always && paragraph_.runs.empty()) return;
    paragraph_.format = Current().paragraph;
    doc_.paragraphs.push_back(std::move(paragraph_));
    paragraph_ = rtf::Paragraph{};
  }

  std::string_view in_;
  size_t pos_ = 0;
  std::vector<State> stack_;
  size_t overflow_ = 0;
  bool rootOpened_ = false;
  bool finished_ = false;
  bool starred_ = false;
  int pendingSkip_ = 0;
  std::vector<std::optional<Color>> colors_;
  Color color_;
  bool colorGiven_ = false;
  Font font_;
  int defaultFont_ = -1;
  Document doc_;
  rtf::Paragraph paragraph_;
};

}  // namespace

char16_t FromWindows1252(uint8_t byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kCp1252High[byte - 0x80];
  return static_cast<char16_t>(byte);
}

std::u16string Paragraph::Text() const {
  std::u16string text;
  for (const Run& r : runs) text += r.text;
  return text;
}

const Font* Document::FindFont(int number) const {
  for (const Font& f : fonts)
    if (f.number == number) return &f;
  return nullptr;
}

std::u16string Document::PlainText() const {
  std::u16string text;
  for (size_t i = 0; i < paragraphs.size(); ++i) {
    if (i > 0) text.push_back(u'\n');
    text += paragraphs[i].Text();
  }
  return text;
}

bool LooksLikeRtf(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n')) ++i;
  return bytes.substr(i, 5) == "{\\rtf";
}

Document Parse(std::string_view rtf) { return Parser(rtf).Run(); }

Document FromPlainText(std::string_view text) {
  Document doc;
  rtf::Paragraph current;
  auto flush = [&] {
    doc.paragraphs.push_back(std::move(current));
    current = rtf::Paragraph{};
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      flush();
      continue;
    }
    if (current.runs.empty()) current.runs.emplace_back();
    current.runs.back().text.push_back(FromWindows1252(static_cast<uint8_t>(c)));
  }
  if (!current.runs.empty()) flush();
  return doc;
}

}  // namespace about::rtf
