// SPDX-License-Identifier: MIT
// The document record that holds one GEF document, and the library-wide state around it.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/keywords.h"

namespace gef {

struct ErrorList;

// One stored field; which member is live follows the field's type in the keyword table.
union Field {
  std::int32_t i;
  float f;
  double d;
  char c;
  char* s; // owned zero-terminated copy, or null when never stored
};

// One occurrence of a keyword as stored.
struct Entry {
  Field field[kMaxFields];
  std::int32_t present; // 0 while absent, 1 once an occurrence is stored
  std::uint8_t bits;    // bit k-1 set when entry field k was given (k = 1..8)
};

// Input modes of the keyword store.
enum InputMode : std::int32_t { GETAL = 0, STRING = 1 };

constexpr int kMaxColumns = 250;

// A printf-style format for one double, reduced to what the writers produce: a conversion
// letter (e, f or g, either case), a field width and a precision.
struct NumberFormat {
  char letter = 'g';
  int width = 0;
  int precision = 6;
};

inline bool operator==(const NumberFormat& a, const NumberFormat& b) {
  return a.letter == b.letter && a.width == b.width && a.precision == b.precision;
}

// Bookkeeping of the file reader for the document being read; cleared by every reset.
struct ReadState {
  std::int32_t stop = 0;         // the keyword finder met a line it cannot parse
  std::int64_t data_offset = 0;  // file offset of the first byte behind the #EOH= line
  std::int32_t data_outcome = 0; // outcome of the last text data parse, 0 when none ran
  std::int64_t values_read = 0;  // values found by the last text data parse
};

struct Document {
  // Keyword storage: every area in one array, area of keyword c at keyword_info(c).entry_offset.
  // From calloc: an area whose reset state is all zeros is never touched until it is used.
  struct FreeEntries {
    void operator()(Entry* entries) const { std::free(entries); }
  };
  std::unique_ptr<Entry[], FreeEntries> entries;
  // Per area, one past the highest entry touched since the last reset, so that a reset only
  // visits what was used.
  std::int32_t used[kKeywordSlots];

  std::int32_t input_mode;
  std::int32_t scan_count;
  std::int32_t scan_known;
  std::int32_t data_present;
  std::int32_t value_capacity;

  // Per column, the number format REPORTDATAFORMAT gives it; none until one is stored.
  std::optional<NumberFormat> formats[kMaxColumns];

  std::int32_t header_checked;
  std::int32_t plotable;

  ReadState reading;

  ErrorList* errors; // created by the first reset
};

// The text data reader's buffer for a file's bytes, kept from one file to the next. Fresh memory
// costs a page fault per page at its first touch, which on virtual machines outweighs parsing a
// typical file; kept, it is touched once per session instead of once per file. What a large file
// needed is given back after it (see trim_scratch).
struct ReadScratch {
  std::unique_ptr<char[]> bytes; // the file's bytes after the header, never zeroed first
  std::size_t room = 0;          // bytes allocated at `bytes`
  std::size_t size = 0;          // bytes read into `bytes`
};

// Library-wide state beside the record.
struct Library {
  Document* current = nullptr;
  std::unique_ptr<double[]> data;  // the data block, column after column
  std::vector<char*> column_texts; // per-scan texts, owned (malloc)
  std::int32_t conversion_stamp = 0;
  std::int32_t busy = 0;
  ReadScratch scratch;
};

struct CodeTable;

// Slots of the texts a session's functions return.
enum ReturnedText {
  RETURNED_EXPANSION,
  RETURNED_SPLITS,
  RETURNED_REPORT_FIRST,
  kReturnedTexts = 7
};

// Everything the calls on one document share: the record, the data block and the code texts.
// The process has one session; a thread that asks for a document of its own gets a session of
// its own, which every call from that thread then uses.
struct Session {
  Session();
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Document document{};
  Library library;
  std::unique_ptr<CodeTable> codes; // the code texts, once init_gef has made the holder
  // Texts functions return, each valid until that function's next call: the code expansion,
  // the code split and the report texts' slots.
  std::string returned[kReturnedTexts];
};

extern Session g_process;
// The calling thread's own session (made and freed by use_thread_session), or null while it
// uses the process's.
extern thread_local Session* t_session;

inline Session& session() { return t_session != nullptr ? *t_session : g_process; }
inline Library& library() { return session().library; }
// The session's record, whether or not init_gef has made it current.
inline Document& document() { return session().document; }

// The current document, or null before init_gef and after free_gef.
inline Document* current() { return library().current; }

// Gives the calling thread a session of its own (`own`) or returns it to the process's, releasing
// its own as free_gef does; false when memory runs out.
bool use_thread_session(bool own);

// Entry `index` (0-based) of the storage area of keyword `code`.
inline Entry& entry(Document& doc, int code, int index) {
  // Callers pass keyword codes; the mask only keeps a stray code inside the table, and costs no
  // comparison on a path taken for every field.
  const auto slot = std::size_t(unsigned(code) % unsigned(kKeywordSlots));
  return doc.entries[detail::kKeywordTable[slot].entry_offset + index];
}

// The number format of column `c` (1-based), none outside the columns that can have one.
inline std::optional<NumberFormat> output_format(const Document& doc, int c) {
  return c >= 1 && c <= kMaxColumns ? doc.formats[c - 1] : std::nullopt;
}

// Whether entry field `field` (1..8) was given in the occurrence.
inline bool has_field(const Entry& e, int field) {
  return field >= 1 && field <= 8 && (e.bits & (1u << (field - 1))) != 0;
}

// Frees every text of an entry of keyword `code` and clears the references.
void release_texts(Entry& e, int code);

// Makes sure the keyword storage exists; false when memory runs out.
bool ensure_entries(Document& doc);

// Releases every keyword text and marks every entry absent, visiting only the entries used
// since the last reset; with `reset_values` the fields also take their reset values.
void clear_entries(Document& doc, bool reset_values);

// Releases the data block and the per-scan column texts.
void release_data(Document& doc);

// Per-scan column texts: release every text and size the table for `scans` scans. False when
// memory runs out; the table is then empty.
bool resize_column_texts(int scans) noexcept;

// Document reset: forgets every keyword, empties the error list, keeps the data block.
void reset_document(Document& doc);

} // namespace gef
