// A new folder under the system's temporary folder, removed with everything in it when the
// object goes: a test's database, log and spool live and die with it.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace vorn::test {

class TempFolder {
  public:
    TempFolder() {
        dir_ = (std::filesystem::temp_directory_path() / "vorn-test-XXXXXX").string();
        if (!::mkdtemp(dir_.data())) throw std::runtime_error("mkdtemp failed");
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  private:
    std::string dir_;
};

}  // namespace vorn::test
