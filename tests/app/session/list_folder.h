#pragma once
// A working folder with client.lst and company.lst written as a test gives them. A name is taken
// inside the folder; a full path stands as it is.

#include <fstream>
#include <string>

#include "app/files/temp_folder.h"

namespace tidemet::testing {

class ListFolder : public TempFolder {
 public:
  std::string write(const std::filesystem::path& name, const std::string& bytes) const {
    std::ofstream(path() / name, std::ios::binary) << bytes;
    return (path() / name).string();
  }
  std::string read(const std::filesystem::path& name) const {
    std::ifstream in(path() / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool has(const std::filesystem::path& name) const {
    return std::filesystem::exists(path() / name);
  }
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
