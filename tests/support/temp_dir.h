// A fresh folder under the system's temporary directory, removed with all its
// content when the object goes. Tests build their fixtures inside it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace cj::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }

    // path/relative. On Windows each "/" of relative becomes a backslash, so that
    // fixtures name their files as the program's own paths do.
    std::string operator/(std::string_view relative) const;

    // Creates the folders along relative and writes content to it.
    void WriteFile(std::string_view relative, std::string_view content) const;
    void MakeDirs(std::string_view relative) const;
    std::string ReadFile(std::string_view relative) const;

  private:
    std::string m_path;
};

// Gives the file at path the length bytes, without writing them where the file
// system allows (a sparse file): sizes of several gigabytes in a moment.
// False on failure.
bool SetFileLength(const std::string& path, std::uint64_t bytes);

}  // namespace cj::test
