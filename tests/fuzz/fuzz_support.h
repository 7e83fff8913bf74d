// Helpers shared by the fuzz targets: a check that turns a wrong answer into
// a crash that libFuzzer records with its input, and a scratch folder for the
// targets whose readers take a path.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace cj::fuzz {

[[noreturn]] inline void FailCheck(const char* file, int line, const char* what) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    std::abort();
}

// Not assert(): the fuzz build may define NDEBUG, and a wrong answer must
// stop the run in every build.
#define CJ_FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::cj::fuzz::FailCheck(__FILE__, __LINE__, #condition))

// A folder of this process's own, made on first use and removed at a normal
// exit (libFuzzer leaves by _Exit after a crash or an interrupt, so
// run_fuzzers.sh points CJ_FUZZ_SCRATCH into a folder it removes itself).
// Else /dev/shm when there is one: the profile target writes and renames a
// file on every input, and a RAM file system keeps that from being the run's
// cost.
inline const std::string& ScratchDirectory() {
    // Never destroyed, so that the exit handler below still has the name.
    static const std::string* const directory = [] {
        const char* chosen = std::getenv("CJ_FUZZ_SCRATCH");
        const std::filesystem::path base =
            chosen != nullptr && *chosen != '\0'        ? std::filesystem::path(chosen)
            : std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                        : std::filesystem::temp_directory_path();
        auto* made = new std::string((base / "cj-fuzz-XXXXXX").string());
        if (::mkdtemp(made->data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(ScratchDirectory(), ignored);
        });
        return made;
    }();
    return *directory;
}

// Takes the input apart front to back; a short input reads as zeros.
class InputReader {
  public:
    InputReader(const std::uint8_t* data, std::size_t size)
        : m_rest(reinterpret_cast<const char*>(data), size) {}

    std::uint8_t Byte() {
        if (m_rest.empty()) {
            return 0;
        }
        const auto byte = static_cast<std::uint8_t>(m_rest.front());
        m_rest.remove_prefix(1);
        return byte;
    }

    // A record count as the configuration file may hold it: mostly small,
    // sometimes far past any file's line count.
    std::uint64_t Count() {
        const std::uint8_t byte = Byte();
        if (byte == 0xFF) {
            return UINT64_MAX;
        }
        if (byte >= 0xF0) {
            return 1000U + byte;
        }
        return byte % 48U;
    }

    // The text up to the next 0x00 byte (dropped), at most maxSize bytes.
    std::string_view Field(std::size_t maxSize) {
        std::size_t end = m_rest.find('\0');
        end = end == std::string_view::npos ? m_rest.size() : end;
        end = end < maxSize ? end : maxSize;
        const std::string_view field = m_rest.substr(0, end);
        m_rest.remove_prefix(end < m_rest.size() && m_rest[end] == '\0' ? end + 1 : end);
        return field;
    }

    std::string_view Rest() const { return m_rest; }

  private:
    std::string_view m_rest;
};

}  // namespace cj::fuzz
