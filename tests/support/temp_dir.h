// A fresh folder under the system's temporary directory, removed with all its
// content when the object goes. Tests build their fixtures inside it.
#pragma once

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

}  // namespace cj::test
