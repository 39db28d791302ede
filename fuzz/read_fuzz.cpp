// Fuzz target: any bytes read as a GEF file, checked and queried, and taken as code texts and
// as a description code, must not crash or leak.
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

#include <gef/gef.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/gef_fuzz_" + std::to_string(getpid()) + ".gef";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  // A whole library life per input, so that anything a read leaves behind shows as a leak.
  if (init_gef() != 1) return 0;
  read_gef(path.c_str());
  test_gef("HEADER");
  test_gef("GEF-BORE-Report");
  // The same bytes as a code-text file and as a description code.
  load_codetexts(path.c_str());
  std::string code(reinterpret_cast<const char*>(data), size);
  gbr_code2text(code.c_str(), " / ");
  gbr_NEN5104_splits(code.data());
  const int scans = get_nr_scans();
  const int columns = get_column();
  for (int c = 1; c <= columns && c <= 8; ++c) {
    get_columninfo_Quantity(c);
    for (int s = 1; s <= scans && s <= 8; ++s) get_data(c, s);
  }
  for (int s = 1; s <= scans && s <= 8; ++s) {
    if (char* field = get_columntext_text_field(s, 2)) free(field);
    for (int k = 1; k <= gbr_get_nr_additional_strings(s) + 1; ++k)
      if (char* text = gbr_get_additional_string(s, k)) free(text);
  }
  for (int code; (code = get_error_code()) != 0;) get_error_text(code);
  get_last_error_text();
  free_gef();
  return 0;
}
