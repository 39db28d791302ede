// The message templates of every error code and the formatting of an entry into English text.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "diagnostics/error_list.h"
#include "document/keywords.h"
#include "document/record.h"

namespace gef {
namespace {

// One message template. `variant` 0 serves every entry of the code; codes with three templates
// choose by their numbers: 1 when both are 0, 2 when only the second is set, 3 when the first
// is set. `args` names what fills each conversion of the template, in order:
//   T subject text, U subject text in upper case, 1 / 2 first / second number,
//   c / d first / second number as a character, n first number plus one,
//   R V W the document's GEFID release, version and update.
struct Message {
  int code;
  int variant;
  const char* text;
  const char* args;
};

constexpr Message kMessages[] = {
    {1, 0, " GEF 100: Keyword %s is not allowed.\n", "T"},
    {2, 0, " GEF 100: Number %s is unknown.\n", "T"},
    {3, 0, " GEF 100: Keyword %s, number %d, field %d does not exist.\n", "T12"},
    {4, 0, " GEF 100: Unknown keyword %s found.\n", "T"},
    {5, 0, " GEF 100: Cannot open file %s.\n", "T"},
    {6, 0, " GEF 100: Column %ld is outside the interval (1, %d)", "12"},
    {7, 0, " GEF 100: The column required: %d is outside the interval (1,  %d)\n", "12"},
    {8, 0, " GEF 100: Unknown number of scans.\n", ""},
    {9, 0, " GEF 100: Keyword GEFID is missing.\n", ""},
    {10, 0, " GEF 100: Keyword EOH is missing.\n", ""},
    {11, 0, " GEF 100: Line too long.\n", ""},
    {12, 0, " GEF 100: Neither a keyword is found, nor EOH is encountered.\n", ""},
    {13, 0, " GEF 100: Incomplete keyword.\n", ""},
    {14, 0, " GEF 100: Info of keyword %s is missing.\n", "T"},
    {20, 0, " GEF 100: Recordseparator as required by keyword columntext is missing.\n", ""},
    {21, 0, " GEF 100: Unknown return code, please contact the WIBO.\n", ""},
    {22, 0, " GEF 100: Unsufficient memory is available to store %ld Kbytes of data.\n", "1"},
    {23, 0, " GEF 100: Invalid format field in reportdataformat: %s\n", "T"},
    {24, 0, " GEF 100: Repeated keyword encountered: %s\n", "T"},
    {25, 0, " GEF 100: The year should be written as yyyy.\n", ""},
    {26, 0, " GEF 100: Repeated keyword #%s detected, referring to column: %d.\n ", "T1"},
    {27, 0, " GEF 100: Repeated keyword #%s detected, referring to number: %d.\n ", "T1"},
    {28, 0, " GEF 100: Parameter %d of keyword %s is missing.\n", "1T"},
    {34, 0, " GEF 100: In keyword %s more parameters than allowed (=%d) are found.\n", "U1"},
    {35, 0, " GEF 100: Unknown number of columns.\n", ""},
    {36, 0, " GEF 100: The number for keyword %s is outside the interval (%d, %d).\n", "T12"},
    {37, 0,
     " GEF 100: Stopped processing data, while severe error(s) found in reading the header of "
     "%s.\n",
     "T"},
    {38, 0, " GEF 100: Scan number %ld is outside the interval (1, %ld).\n", "12"},
    {39, 0, " GEF 100: Keyword %s is missing\n", "T"},
    {40, 0, " GEF 100: File %s cannot be opened.\n", "T"},
    {41, 0, " GEF 100: File %s cannot be deleted.\n", "T"},
    {42, 0, " GEF 100: %s\n", "T"},
    {43, 1, " GEF 100: Keyword %s is missing.\n", "T"},
    {43, 2, " GEF 100: In keyword %s, field %d is missing.\n", "T2"},
    {43, 3, " GEF 100: In keyword %s, serial number %d, field %d is missing.\n", "T12"},
    {44, 0, " GEF 100: Binary data require the keywords DATATYPE and OS.\n", ""},
    {45, 0, " GEF 100: Keyword %s nr. %d is not allowed (max=%d).\n", "T12"},
    {46, 0,
     " GEF 110: In keyword %s value, unit and quantity are either all mandatory or all optional\n",
     "T"},
    {47, 0, " GEF 110: In keyword %s serial number %d fields previous to %d are missing.\n", "T12"},
    {48, 1, " GEF 110: Keyword %s is missing.\n", "T"},
    {48, 2, " GEF 110: In keyword %s, field %d is missing.\n", "T2"},
    {48, 3, " GEF 110: In keyword %s, serial number %d, field %d is missing.\n", "T12"},
    {49, 0, " GEF 100: In %s the separator used: '%c' is invalid.\n", "Tc"},
    {50, 0, " GEF 100: Columnseparator '%c' equal to recordseparator '%c' is not allowed.\n", "cd"},
    {51, 0, " GEF 100: In keyword %s the number of the month %d is outside the interval (1, 12).\n",
     "T1"},
    {52, 0, " GEF 100: In keyword %s the number of the day %d is outside the interval (1, 31).\n",
     "T1"},
    {53, 0, " GEF 100: In keyword %s the hour %d is outside the interval (0, 23).\n", "T1"},
    {54, 0, " GEF 100: In keyword %s the minute %d is outside the interval (0, 59).\n", "T1"},
    {55, 0, " GEF 100: In keyword %s the second %d is outside the interval (0, 59).\n", "T1"},
    {56, 0, " GEF 100: Too many parameters (%d) in keyword %s, serial number %d.\n", "2U1"},
    {57, 0, " GEF 100: %s\n", "T"},
    {58, 0, " GEF 110: %s\n", "T"},
    {59, 0, " GEF 100: In keyword %s the year %d is not Y2k compliant.\n", "T1"},
    {60, 0, " GEF 100: In keyword %s the date is not correct.\n", "T"},
    {61, 0, " GEF %d%d%d: Keyword %s is not supported with this GEFID.\n", "RVWT"},
    {62, 0, " GEF 200: The quantity number %d in %s is not present in the header.\n", "1T"},
    {63, 0, " GEF 200: In keyword %s, serial number %d, field %d is missing.\n", "T12"},
    {64, 1, " GEF %d%d%d: Keyword %s is missing.\n", "RVWT"},
    {64, 2, " GEF %d%d%d: In keyword %s, field %d is missing.\n", "RVWT2"},
    {64, 3, " GEF %d%d%d: In keyword %s, serial number %d, field %d is missing.\n", "RVWT12"},
    {1001, 0, " GEF-DATA: Errors found while reading the data block of %s.\n", "T"},
    {1002, 0, " GEF-DATA: Number of columns and/or scans is unknown.\n", ""},
    {1003, 0, " GEF-DATA: Too many columns to print.\n", ""},
    {1004, 0, " GEF-DATA: Warning. Last scan processed, however still data remains. Ignored.\n",
     ""},
    {1005, 0, " GEF-DATA: Unknown data entry is found in scan %d, column %d.\n", "12"},
    {1006, 0, " GEF-DATA: No valid columnseparator was found after scan %d, column %d\n", "12"},
    {1007, 0, " GEF-DATA: No valid recordseparator was found after %ld data fields.\n", "1"},
    {1008, 0, " GEF-DATA: Columntext in scan %ld is too long (max = %d).\n", "12"},
    {1009, 0, " GEF 100: The number of scans read=%ld is not in agreement with LASTSCAN=%ld\n",
     "12"},
    {1010, 0, " GEF-DATA: No valid data found in column %d.\n", "1"},
    {1011, 0,
     " GEF-DATA: The product of columns and scans exceeds the maximum allowable value of %ld.\n    "
     "       Decrease either the number of scans or columns.\n",
     "1"},
    {1012, 0, " GEF-DATA: %s\n", "T"},
    {1013, 0, " GEF-DATA: Column %d is not deleted since it is referenced in TIMECOLUMN.\n", "1"},
    {1014, 0, " GEF-DATA: Column %d is not deleted since it is referenced in COLUMNPOWERSUPPLY.\n",
     "1"},
    {1015, 0, " GEF-DATA: Number of scans is negative.\n", ""},
    {1016, 0, " GEF-DATA: Columntext without recordseparator is not possible to process.\n", ""},
    {2001, 0, " GEF-CPT-Report 100: Required keyword #%s.\n", "T"},
    {2002, 0,
     " GEF-CPT-Report 100: This is not a CPT-Report file: check #PROCEDURECODE or #REPORTCODE.\n",
     ""},
    {2003, 0, " GEF-CPT-Report 100: Field %d in required keyword #%s is missing.\n", "1T"},
    {2004, 0, " GEF-CPT-Report 100: Column 1 and 2 are mandatory. Missing or incomplete.\n", ""},
    {2005, 0, " GEF-CPT-Report 110: %s\n", "T"},
    {2006, 1, " GEF-CPT-Report 100: Keyword %s is mandatory, however not present in your data\n",
     "T"},
    {2006, 2, " GEF-CPT-Report 100: In %s field %d is mandatory.\n", "T2"},
    {2006, 3, " GEF-CPT-Report 100: In %s serial number %d field %d is mandatory.\n", "T12"},
    {2007, 1, " GEF-CPT-Report 110: Keyword %s is mandatory, however not present in your data\n",
     "T"},
    {2007, 2, " GEF-CPT-Report 110: In %s field %d is mandatory.\n", "T2"},
    {2007, 3, " GEF-CPT-Report 110: In %s serial number %d field %d is mandatory.\n", "T12"},
    {2008, 0, " GEF-CPT-Report 100: Penetration length must be in column 1.\n", ""},
    {2009, 0, " GEF-CPT-Report 100: Cone resistance must be in column 2.\n", ""},
    {2010, 0, " GEF-CPT-Report 100: %s.\n", "T"},
    {2011, 0,
     " GEF CPT-Report 100: The number of scans read=%ld is not in agreement with LASTSCAN=%ld\n",
     "12"},
    {3001, 0, " GEF-BORE-Report 100: GEF BORE code file: %s could not be read.\n", "T"},
    {3005, 0, " GEF-BORE-Report 100: GEF BORE code expansion: %s invalid expansion scheme.\n", "T"},
    {3010, 0, " GEF-BORE-Report 100: GEF BORE code: %s invalid.\n", "T"},
    {3020, 0, " GEF-BORE-Report 100: GEF BORE code: %s not found.\n", "T"},
    {3030, 0, " GEF-BORE-Report 100: Keyword columntext not found.\n", ""},
    {3031, 0, " GEF-BORE-Report 100: Field 1 of keyword columntext not found.\n", ""},
    {3032, 0, " GEF-BORE-Report 100: Field 1 of keyword columntext is not equal to 1.\n", ""},
    {3033, 0, " GEF-BORE-Report 100: %s\n", "T"},
    {3034, 1, " GEF-BORE-Report 100: Keyword %s is missing.\n", "T"},
    {3034, 2, " GEF-BORE-Report 100: In keyword %s, field %d is missing.\n", "T2"},
    {3034, 3, " GEF-BORE-Report 100: In keyword %s, serial number %d, field %d is missing.\n",
     "T12"},
    {3035, 0, " GEF-BORE-Report 100: Gap/Overlap between layers %d and %d.\n", "1n"},
    {3036, 0, " GEF-BORE-Report 100: In measurementtext %d %s\n", "1T"},
    {3037, 0, " GEF-BORE-Report 100: %s.\n", "T"},
    {3133, 0, " GEF-BORE-Report 100 NEN5104: %s\n", "T"},
    {3134, 1, " GEF-BORE-Report 100 NEN5104: Keyword %s is missing.\n", "T"},
    {3134, 2, " GEF-BORE-Report 100 NEN5104: In keyword %s, field %d is missing.\n", "T2"},
    {3134, 3,
     " GEF-BORE-Report 100 NEN5104: In keyword %s, serial number %d, field %d is missing.\n",
     "T12"},
    {3135, 0, " GEF-BORE-Report 100 NEN5104: In core method %d the %s is missing.\n", "1T"},
    {3136, 0, " GEF-BORE-Report 100 NEN5104: In scan %d the %s is missing.\n", "1T"},
    {3137, 0, " GEF-BORE-Report 100 NEN5104: In scan %d the description %s is incorrect.\n", "1T"},
    {3200, 0, " GEF-BORE-Report 100 NEN5119: For sample %d (specimenvar %d) the %s is missing.\n",
     "12T"},
    {3201, 0, " GEF-BORE-Report 100 NEN5119: For sample %d (specimentext %d) the %s is missing.\n",
     "12T"},
    {3202, 0, " GEF-BORE-Report 100 NEN5119: %s\n", "T"},
};

constexpr const char* kClueless =
    " Clueless. Unknown error corresponding to error code %d occured.\n ";

const Message* find_message(int code, int first, int second) {
  const int variant = first != 0 ? 3 : (second != 0 ? 2 : 1);
  for (const Message& m : kMessages)
    if (m.code == code && (m.variant == 0 || m.variant == variant)) return &m;
  return nullptr;
}

// Appends text to a fixed buffer, cutting what does not fit.
struct Writer {
  char* buffer;
  std::size_t size;
  std::size_t length = 0;

  void put(const char* text, std::size_t n) {
    if (length + 1 >= size) return;
    if (n > size - 1 - length) n = size - 1 - length;
    std::memcpy(buffer + length, text, n);
    length += n;
    buffer[length] = '\0';
  }
  void put(const std::string& text) { put(text.data(), text.size()); }
  void number(long long value) { put(std::to_string(value)); }
};

std::int32_t gefid_field(Document& doc, int k) { return entry(doc, KW_GEFID, 0).field[k].i; }

} // namespace

const char* format_error_message(Document& doc, int code, const char* subject, int first,
                                 int second) {
  ErrorList& list = *doc.errors;
  Writer out{list.message, sizeof list.message};
  list.message[0] = '\0';
  const Message* m = find_message(code, first, second);
  const char* text = m != nullptr ? m->text : kClueless;
  const char* args = m != nullptr ? m->args : "1";
  if (m == nullptr) first = code;
  if (subject == nullptr) subject = "";

  // Every conversion of a template is %s, %d, %ld or %c; the filler is chosen by `args`, so no
  // text ever reaches printf as a format.
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p != '%') {
      out.put(p, 1);
      continue;
    }
    ++p;
    if (*p == 'l') ++p;
    const char kind = *args != '\0' ? *args++ : '?';
    switch (kind) {
    case 'T': out.put(subject, std::strlen(subject)); break;
    case 'U': {
      std::string upper(subject);
      for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
      out.put(upper);
      break;
    }
    case '1': out.number(first); break;
    case '2': out.number(second); break;
    case 'n': out.number(static_cast<long long>(first) + 1); break;
    case 'c': {
      char c = char(first);
      out.put(&c, 1);
      break;
    }
    case 'd': {
      char c = char(second);
      out.put(&c, 1);
      break;
    }
    case 'R': out.number(gefid_field(doc, 0)); break;
    case 'V': out.number(gefid_field(doc, 1)); break;
    case 'W': out.number(gefid_field(doc, 2)); break;
    default: break;
    }
  }
  return list.message;
}

} // namespace gef
