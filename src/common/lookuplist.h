#pragma once
// A two-column list read from a tab-separated text file: map name, tab, description.
// Entries stay in file order; look-ups are case-blind on the letters a to z only and the
// first matching key wins.
#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>

struct TLookupEntry {
  std::string Key;                  // at most 255 characters
  std::string Value;                // at most 255 characters
  TLookupEntry* Next = nullptr;     // the following entry, owned by the list
};

// The list owns its entries and releases them when it is freed, reloaded or destroyed.
class TLookupList {
 public:
  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = TLookupEntry;
    using difference_type = std::ptrdiff_t;
    using pointer = const TLookupEntry*;
    using reference = const TLookupEntry&;
    const_iterator() = default;
    explicit const_iterator(const TLookupEntry* entry) : entry_(entry) {}
    reference operator*() const { return *entry_; }
    pointer operator->() const { return entry_; }
    const_iterator& operator++() {
      entry_ = entry_->Next;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator old = *this;
      entry_ = entry_->Next;
      return old;
    }
    bool operator==(const const_iterator& other) const { return entry_ == other.entry_; }

   private:
    const TLookupEntry* entry_ = nullptr;
  };

  TLookupList() = default;
  ~TLookupList();
  TLookupList(TLookupList&& other) noexcept;
  TLookupList& operator=(TLookupList&& other) noexcept;
  TLookupList(const TLookupList&) = delete;
  TLookupList& operator=(const TLookupList&) = delete;

  // The first entry, or nullptr for an empty list.
  const TLookupEntry* First() const { return first_; }
  bool Empty() const { return first_ == nullptr; }
  std::size_t Size() const;
  const_iterator begin() const { return const_iterator(first_); }
  const_iterator end() const { return const_iterator(); }

  // Appends an entry with the key and value cut to 255 characters.
  void Append(std::string_view key, std::string_view value);
  // Releases every entry, first to last; the list becomes empty.
  void Clear();

 private:
  TLookupEntry* first_ = nullptr;
  TLookupEntry* last_ = nullptr;
};

// Fills `list` from a lookup file. `fileName` is a Windows-style path, relative to the
// program's directory or absolute ("levels\Quake3\q3-all-maps.txt"); it is mapped with
// platform::NativePath, so callers pass the names as the program writes them. Whatever the
// list held before is released. A file that cannot be opened gives an empty list and no
// message; a read error after opening raises platform::Exception.
//
// File format: 8-bit text; a carriage return ends a line and a line feed right after it is
// skipped (a line feed alone does not end a line); a Ctrl-Z (code 26) ends the file. Every
// line makes an entry, an empty one too: the key is the text before the first tab (the whole
// line when it has none), the value the text after it (further tabs included).
void LoadLookupList(TLookupList& list, const std::string& fileName);

// As LoadLookupList, from the bytes of a file already read.
void LoadLookupListFromText(TLookupList& list, std::string_view text);

// Releases every entry; the list becomes empty.
void FreeLookupList(TLookupList& list);

// The value of the first entry whose key equals `key` with a to z taken as A to Z (every
// other character must match exactly); empty when none matches.
std::string FindLookupValue(const TLookupList& list, std::string_view key);
