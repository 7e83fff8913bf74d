#include "temp_dir.h"

#include <stdexcept>

#ifdef _WIN32
#include <windows.h>

#include <random>
#else
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#endif

namespace cj::test {

#ifdef _WIN32

// Through the ANSI calls, as the program itself goes: names in the active code
// page reach the disk as the program would write them, where the wide-char
// std::filesystem would convert them by rules of its own.
namespace {

constexpr char Separator = '\\';

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA entry;
    const HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string child = path + Separator + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            const DWORD attributes = entry.dwFileAttributes;
            if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
                // A link: remove the link, never what it leads to.
                if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                    RemoveDirectoryA(child.c_str());
                } else {
                    DeleteFileA(child.c_str());
                }
            } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                RemoveTree(child);
            } else {
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

}  // namespace

TempDir::TempDir() {
    char temp[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length > MAX_PATH) {
        throw std::runtime_error("GetTempPathA failed");
    }
    std::string base(temp, length);
    if (base.back() != Separator) {
        base += Separator;
    }
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = base + "cj-test-" + std::to_string(random() % 1000000000);
        if (CreateDirectoryA(path.c_str(), nullptr)) {
            m_path = path;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    throw std::runtime_error("cannot create a temporary folder in " + base);
}

TempDir::~TempDir() {
    RemoveTree(m_path);
}

std::string TempDir::operator/(std::string_view relative) const {
    std::string path = m_path + Separator;
    for (const char c : relative) {
        path += c == '/' ? Separator : c;
    }
    return path;
}

void TempDir::MakeDirs(std::string_view relative) const {
    const std::string path = *this / relative;
    // A separator only where a character starts: the second byte of a GBK
    // pair may be 0x5C.
    for (std::size_t at = m_path.size() + 1; at <= path.size(); ++at) {
        if (at == path.size() || path[at] == Separator) {
            CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
        } else if (IsDBCSLeadByte(static_cast<BYTE>(path[at])) && at + 1 < path.size()) {
            ++at;
        }
    }
    if ((GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        throw std::runtime_error("cannot create " + path);
    }
}

void TempDir::WriteFile(std::string_view relative, std::string_view content) const {
    if (const std::size_t slash = relative.rfind('/'); slash != std::string_view::npos) {
        MakeDirs(relative.substr(0, slash));
    }
    const std::string path = *this / relative;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok =
        file != INVALID_HANDLE_VALUE &&
        ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
        written == content.size();
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    if (!ok) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string TempDir::ReadFile(std::string_view relative) const {
    const std::string path = *this / relative;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::string text;
    if (file == INVALID_HANDLE_VALUE) {
        return text;
    }
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    CloseHandle(file);
    return text;
}

bool SetFileLength(const std::string& path, std::uint64_t bytes) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER length;
    length.QuadPart = static_cast<LONGLONG>(bytes);
    const bool ok = SetFilePointerEx(file, length, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

#else

namespace fs = std::filesystem;

bool SetFileLength(const std::string& path, std::uint64_t bytes) {
    return ::truncate(path.c_str(), static_cast<off_t>(bytes)) == 0;
}

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "cj-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests may leave read-only folders behind; make them writable so that
    // the removal goes through.
    for (auto it = fs::recursive_directory_iterator(m_path, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
    }
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

std::string TempDir::operator/(std::string_view relative) const {
    return m_path + "/" + std::string(relative);
}

void TempDir::MakeDirs(std::string_view relative) const {
    fs::create_directories(*this / relative);
}

void TempDir::WriteFile(std::string_view relative, std::string_view content) const {
    const fs::path target = *this / relative;
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + target.string());
    }
}

std::string TempDir::ReadFile(std::string_view relative) const {
    std::ifstream in(*this / relative, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

#endif

}  // namespace cj::test
