// The buffered standard output of chengjing-cli's listings.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "shell/hit_text.h"

namespace cj::cli {

// Writes stdout in large pieces; the hits of a common keyword run to hundreds
// of megabytes.
class Output {
  public:
    Output() { m_buffer.reserve(Capacity); }
    ~Output() { Flush(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void Line(std::string_view text) {
        if (m_buffer.size() + text.size() + 1 > Capacity) {
            Flush();
        }
        m_buffer.append(text).append(1, '\n');
    }
    // "first<TAB>second".
    void TabbedLine(std::string_view first, std::string_view second) {
        if (m_buffer.size() + first.size() + second.size() + 2 > Capacity) {
            Flush();
        }
        m_buffer.append(first).append(1, '\t').append(second).append(1, '\n');
    }
    // The three lines of a hit in the long form.
    void HitLines(std::string_view path, std::optional<std::uint64_t> size) {
        if (m_buffer.size() + path.size() * 2 + 128 > Capacity) {
            Flush();
        }
        shell::AppendHitLines(m_buffer, path, size);
    }
    bool Failed() const { return m_error != 0; }
    // The errno value of the first failed write.
    int Error() const { return m_error; }
    void Flush() {
        WriteAll(m_buffer);
        m_buffer.clear();
        if (!Failed() && std::fflush(stdout) != 0) {
            m_error = errno;
        }
    }

  private:
    static constexpr std::size_t Capacity = 1 << 20;

    void WriteAll(std::string_view text) {
        // A megabyte at a time goes past stdio's own buffer to the descriptor.
        if (!Failed() && !text.empty() &&
            std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
            m_error = errno != 0 ? errno : EIO;
        }
    }

    std::string m_buffer;
    int m_error = 0;
};

}  // namespace cj::cli
