#pragma once

#include <QString>
#include <cstring>
#include <memory>
#include <string>

// Standard output for the tool: one buffer, UTF-16 encoded into it as UTF-8
// directly, with write failures (a closed pipe, a full disk) reported as
// errors instead of ending the process by a signal.
namespace velmora::xlstool {

class Output {
public:
    Output();
    ~Output();
    void text(QStringView s);        // as UTF-8
    void jsonString(QStringView s);  // quoted and escaped, as UTF-8
    void raw(const char* s, size_t n) {
        if (used_ + n > kFlushAt)
            return rawFlushing(s, n);
        std::memcpy(buffer_.get() + used_, s, n);
        used_ += n;
    }
    void raw(const char* s) { raw(s, std::char_traits<char>::length(s)); }
    void raw(const std::string& s) { raw(s.data(), s.size()); }
    // A JSON string (quotes included) as UTF-8, for a part many lines repeat.
    static std::string json(QStringView s);
    // Writes out what is buffered; throws std::runtime_error on failure.
    void flush();

private:
    // Written out when this much is buffered; longer single texts make room.
    static constexpr size_t kFlushAt = 1 << 16;
    void rawFlushing(const char* s, size_t n);
    char* room(size_t n);

    std::unique_ptr<char[]> buffer_;
    size_t capacity_ = 0;
    size_t used_ = 0;
};

}  // namespace velmora::xlstool
