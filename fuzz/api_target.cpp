// SPDX-License-Identifier: MIT
// Fuzz target body: the bytes decode into a sequence of library calls with arbitrary arguments;
// nothing may crash, leak or read out of bounds, getters must stay answerable throughout, and
// those of a few keywords must give what the sequence stored or deleted.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include <gef/gef.h>

#include "targets.h"

namespace gef_fuzz {
namespace {

// Pulls typed arguments from the fuzzer's bytes; past the end everything reads as zero.
class Decoder {
public:
  Decoder(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool done() const { return at_ >= size_; }
  std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }

  // Small numbers most of the time, so that columns and scans hit existing ones; the edges of
  // the int range otherwise.
  int number() {
    static const int edges[] = {
        0, -1, 251, 1501, std::numeric_limits<int>::max(), std::numeric_limits<int>::min(), 100000};
    const std::uint8_t b = byte();
    if (b < 224) return b % 12;
    return edges[b % (sizeof edges / sizeof edges[0])];
  }

  double real() {
    static const double specials[] = {0.0,
                                      -0.0,
                                      1e-41,
                                      -9999.0,
                                      1e300,
                                      -1e300,
                                      std::numeric_limits<double>::infinity(),
                                      std::numeric_limits<double>::quiet_NaN(),
                                      std::numeric_limits<double>::denorm_min()};
    const std::uint8_t b = byte();
    if (b < 200) return (b - 100) * 0.25;
    if (b < 240) return specials[b % (sizeof specials / sizeof specials[0])];
    // Eight bytes in memory order on a little-endian host, assembled in an integer whose
    // bounds every compiler can see.
    std::uint64_t bits = 0;
    for (unsigned k = 0; k < 8; ++k) bits |= std::uint64_t(byte()) << (8 * k);
    double value;
    static_assert(sizeof value == sizeof bits, "a double is 64 bits");
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

  // A text of the fuzzer's bytes; one length byte, long texts repeat their bytes.
  std::string text() {
    const std::uint8_t length = byte();
    std::string out;
    if (length >= 250) {
      out.assign(std::size_t(length - 249) * 4000, char('A' + length % 26));
      return out;
    }
    for (int k = 0; k < length % 24 && !done(); ++k) out.push_back(char(byte()));
    return out;
  }

private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// What the sequence stored or deleted for a few keywords, so that their getters can be checked
// against it. Any call other than these setters and deletes may change them, so it makes the
// model forget.
class Model {
public:
  void forget() { *this = Model{}; }

  // After a setter that returned `stored`, or a delete (`value` absent).
  template <typename T> void lastscan(bool stored, std::optional<T> value) {
    if (stored) lastscan_ = value ? std::optional<double>(*value) : std::optional<double>();
    lastscan_known_ = lastscan_known_ || stored;
  }
  void zid(bool stored, std::optional<double> z) {
    if (stored) zid_ = z;
    zid_known_ = zid_known_ || stored;
  }
  void measurementvar(int n, bool stored, std::optional<float> value) {
    if (n < 1 || n >= kSerials || !stored) return;
    variables_[n] = value;
    variable_known_[n] = true;
  }

  // Aborts when a getter disagrees with what was stored or deleted.
  void check() const {
    if (lastscan_known_) expect(get_lastscan_flag(), double(get_lastscan()), lastscan_);
    if (zid_known_) expect(get_zid_flag(), get_zid_Z(), zid_);
    for (int n = 1; n < kSerials; ++n)
      if (variable_known_[n])
        expect(get_measurementvar_flag(n), double(get_measurementvar_Value(n)),
               variables_[n] ? std::optional<double>(double(*variables_[n])) : std::nullopt);
  }

private:
  static constexpr int kSerials = 12;

  static void expect(int flag, double got, std::optional<double> stored) {
    const bool same =
        stored ? flag != 0 && (got == *stored || (std::isnan(got) && std::isnan(*stored)))
               : flag == 0;
    if (!same) std::abort();
  }

  bool lastscan_known_ = false, zid_known_ = false;
  std::optional<double> lastscan_, zid_;
  bool variable_known_[kSerials] = {};
  std::optional<float> variables_[kSerials];
};

// The getters that follow every call: they must answer from what is stored, whatever happened.
void query_everything() {
  const int columns = get_column();
  const int scans = get_nr_scans();
  for (int c = 0; c <= 12 && c - 1 <= columns; ++c) {
    get_columninfo_Unit(c);
    get_columnvoid(c);
    get_data(c, 1);
    get_data(c, scans);
  }
  get_comment(1);
  get_lastscan();
  get_zid_z();
  get_pi_tekst(1);
  if (char* field = get_columntext_text_field(1, 1)) std::free(field);
  const long long header = gef_copy_header(nullptr, 0);
  if (header < 0) std::abort();
  if (scans > 0 && columns > 0 && std::int64_t(scans) * columns < (1 << 22)) {
    std::string values(std::size_t(scans) * std::size_t(columns) * sizeof(double), '\0');
    if (gef_copy_data(reinterpret_cast<double*>(values.data()), std::int64_t(scans) * columns) < 0)
      std::abort();
  }
}

// A block of columns x scans values that a caller may ask for and get: gigabytes asked for are
// granted by contract, so the fuzzer keeps its requests below that and the edges of the range.
// A few thousand values reach every path; millions only make each write of them take seconds.
int modest_scans(int columns, int scans) {
  // The per-scan texts count too: even without columns a scan takes a pointer.
  const std::int64_t values = std::int64_t(columns > 0 ? columns : 1) * scans;
  const bool huge = scans > 0 && values > (1 << 16);
  return huge ? 0 : scans;
}

void one_call(Decoder& in, const std::string& scratch, Model& model) {
  const std::string file = scratch + "/api.gef";
  const int call = in.byte() % 40;
  // The modelled calls keep the model; every other one may change what it knows.
  if (call != 8 && call != 11 && call != 10 && call != 22 && call != 24 && call != 25)
    model.forget();
  switch (call) {
  case 0: init_gef(); break;
  case 1: {
    const int columns = in.number();
    init_gef_for_editing(columns, modest_scans(columns, in.number()));
    break;
  }
  case 2: {
    const int columns = in.number();
    init_gef_general(columns, modest_scans(columns, in.number()));
    break;
  }
  case 3: set_gefid(in.number(), in.number(), in.number()); break;
  case 4: set_column(in.number()); break;
  case 5: {
    const std::string unit = in.text(), quantity = in.text();
    set_columninfo(in.number(), unit.c_str(), quantity.c_str(), in.number());
    break;
  }
  case 6: set_columnvoid(in.number(), in.real()); break;
  case 7: set_comment(in.text().c_str()); break;
  case 8: {
    const int scans = in.number();
    model.lastscan(set_lastscan(scans) == 1, std::optional<int>(scans));
    break;
  }
  case 9: {
    const std::string text = in.text(), info = in.text();
    set_measurementtext(in.number(), text.c_str(), info.c_str());
    break;
  }
  case 10: {
    const std::string unit = in.text(), quantity = in.text();
    const int n = in.number();
    const float value = float(in.real());
    model.measurementvar(n, set_measurementvar(n, value, unit.c_str(), quantity.c_str()) == 1,
                         value);
    break;
  }
  case 11: {
    const int code = in.number();
    const double z = in.real();
    model.zid(set_zid(code, z, in.real()) == 1, z);
    break;
  }
  case 12: set_dataformat(in.text().c_str()); break;
  case 13: set_columnseparator(char(in.byte())); break;
  case 14: set_recordseparator(char(in.byte())); break;
  case 15: set_columntext(in.number(), in.text().c_str()); break;
  case 16: set_data(in.number(), in.number(), in.real()); break;
  case 17: set_columntext_text(in.number(), in.text().c_str()); break;
  case 18: del_column(); break;
  case 19: del_columninfo(in.number()); break;
  case 20: del_columnvoid(in.number()); break;
  case 21: del_comment(); break;
  case 22: model.lastscan(del_lastscan() == 1, std::optional<int>()); break;
  case 23: del_measurementtext(in.number()); break;
  case 24: {
    const int n = in.number();
    model.measurementvar(n, del_measurementvar(n) == 1, std::nullopt);
    break;
  }
  case 25: model.zid(del_zid() == 1, std::nullopt); break;
  case 26: {
    const std::string unit = in.text(), quantity = in.text();
    add_data_column(unit.c_str(), quantity.c_str(), in.number(), in.real());
    break;
  }
  case 27: delete_column(in.number()); break;
  case 28: {
    const int columns = in.number();
    create_new_empty_datablock(columns, modest_scans(columns, in.number()));
    break;
  }
  case 29: calc_all_columnminmax(); break;
  case 30: maak_tijdkolom(in.number()); break;
  case 31: {
    const std::string text = in.text(), sheet = in.text();
    put_pi(in.number(), in.real(), in.real(), text.c_str(), sheet.c_str(), "", "", "");
    break;
  }
  case 32: clear_all_reptxt_pi(); break;
  case 33: {
    static const char* const rules[] = {"HEADER", "GEF-CPT-Report", "GEF-BORE-Report", "DATA"};
    test_gef(rules[in.byte() % 4]);
    break;
  }
  case 34: write_gef(file.c_str()); break;
  case 35: write_dif((scratch + "/api.dif").c_str()); break;
  case 36: read_gef(file.c_str()); break;
  case 37: {
    std::string codes = "S1 " + in.text() + "\r\n" + in.text() + "\r\n";
    const std::string path = scratch + "/codes.txt";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
      std::fwrite(codes.data(), 1, codes.size(), f);
      std::fclose(f);
    }
    load_codetexts(path.c_str());
    gbr_code2text(in.text().c_str(), " ");
    break;
  }
  case 38: {
    std::string text = in.text();
    if (char* added = gg_add_slash(text.c_str())) {
      if (char* removed = gg_remove_slash(added)) {
        // Escaping and unescaping a short text must give it back.
        if (text.size() < 80 && std::strcmp(removed, text.c_str()) != 0) std::abort();
        std::free(removed);
      }
      std::free(added);
    }
    break;
  }
  default: {
    const std::string text = in.text(), info = in.text();
    set_reporttext(in.number(), text.c_str(), info.c_str());
    del_reporttext(in.number());
    break;
  }
  }
}

} // namespace

int api_target(const std::uint8_t* data, std::size_t size) {
  static const std::string scratch = scratch_folder();
  Decoder in(data, size);
  Model model;
  init_gef();
  for (int calls = 0; !in.done() && calls < 64; ++calls) {
    one_call(in, scratch, model);
    query_everything();
    model.check();
  }
  free_codetexts();
  end_document();
  return 0;
}

} // namespace gef_fuzz
