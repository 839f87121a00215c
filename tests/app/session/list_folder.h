#pragma once
// A working folder with client.lst and company.lst written as a test gives them.

#include <fstream>
#include <string>

#include "app/files/temp_folder.h"

namespace tidemet::testing {

class ListFolder : public TempFolder {
 public:
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path() / name, std::ios::binary) << bytes;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(path() / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool has(const std::string& name) const { return std::filesystem::exists(path() / name); }
};

// Record 1 of company.lst: institution, rate, calibration factor, model, units, mode, colours
// (window back, data fore, window fore, data back), port.
inline std::string CompanyRecord1(int delay, const char* factor, int model, int units, int mode,
                                  int port) {
  return "\"Aqua Clinic\",\"1 Pool Lane\",\"Bath\",\"BA\",\"12345\",\"555-0100\"," +
         std::to_string(delay) + "," + factor + "," + std::to_string(model) + "," +
         std::to_string(units) + "," + std::to_string(mode) + ",16777215,255,0,65280," +
         std::to_string(port) + "\r\n";
}

}  // namespace tidemet::testing
