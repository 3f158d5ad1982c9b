#pragma once
// A folder of its own for one test: made empty when the test starts, removed with everything
// in it when it ends, even where the test took its permissions away.

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace zynta::testing {

class TempFolder {
 public:
  explicit TempFolder(const std::string& prefix) {
    static std::atomic<int> serial{0};
    path_ = std::filesystem::temp_directory_path() /
            (prefix + "-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A file's whole content, written and read as bytes.
inline void PutFile(const std::filesystem::path& path, std::string_view text) {
  std::ofstream(path, std::ios::binary) << text;
}
inline std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace zynta::testing
