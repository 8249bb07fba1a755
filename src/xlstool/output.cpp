#include "output.h"

#include <QtEndian>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#ifndef _WIN32
#include <csignal>
#endif

namespace velmora::xlstool {

namespace {
// The most a UTF-16 unit becomes: a JSON escape "\u001f" (a surrogate pair
// becomes 4 bytes for its 2 units).
constexpr size_t kMaxPerUnit = 6;

char* escape(char* p, char16_t c) {
    static const char hex[] = "0123456789abcdef";
    *p++ = '\\';
    switch (c) {
        case '"':
        case '\\':
            *p++ = char(c);
            return p;
        case '\n':
            *p++ = 'n';
            return p;
        case '\r':
            *p++ = 'r';
            return p;
        case '\t':
            *p++ = 't';
            return p;
        default:
            break;
    }
    for (char e : {'u', '0', '0', hex[c >> 4], hex[c & 15]}) *p++ = e;
    return p;
}

// UTF-16 to UTF-8 at p in one pass over the units, returning the end; a
// surrogate without its partner becomes U+FFFD. JSON escapes quotes,
// backslashes and control characters. Chinese text is mostly 3-byte
// characters: they are tested for first and written as one 4-byte store
// (the room for 6 bytes a unit leaves space for the extra byte).
template <bool json>
char* encodeUtf8(char* p, QStringView s) {
    const char16_t* u = s.utf16();
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = u[i];
        if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) {
            const quint32 bytes = (0xE0 | (c >> 12)) | (0x80 | ((c >> 6) & 0x3F)) << 8 |
                                  (0x80 | (c & 0x3F)) << 16;
            qToLittleEndian(bytes, p);
            p += 3;
            continue;
        }
        if (c < 0x80) {
            if (json && (c < 0x20 || c == '"' || c == '\\'))
                p = escape(p, char16_t(c));
            else
                *p++ = char(c);
            continue;
        }
        if (c < 0x800) {
            *p++ = char(0xC0 | (c >> 6));
            *p++ = char(0x80 | (c & 0x3F));
            continue;
        }
        if (c <= 0xDBFF && i + 1 < n && u[i + 1] >= 0xDC00 && u[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (u[++i] - 0xDC00);
            *p++ = char(0xF0 | (c >> 18));
            *p++ = char(0x80 | ((c >> 12) & 0x3F));
            *p++ = char(0x80 | ((c >> 6) & 0x3F));
            *p++ = char(0x80 | (c & 0x3F));
            continue;
        }
        for (char b : {'\xEF', '\xBF', '\xBD'}) *p++ = b;  // U+FFFD
    }
    return p;
}

}  // namespace

Output::Output() : buffer_(new char[kFlushAt * 2]), capacity_(kFlushAt * 2) {
#ifndef _WIN32
    // A reader that goes away (dump | head) must not end the tool by SIGPIPE:
    // the failed write is reported like any other.
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

Output::~Output() {
    // Errors were reported by the explicit flush; nothing may throw here.
    if (used_ > 0)
        std::fwrite(buffer_.get(), 1, used_, stdout);
}

char* Output::room(size_t n) {
    if (used_ + n > capacity_) {
        flush();
        if (n > capacity_) {
            buffer_.reset(new char[n]);
            capacity_ = n;
        }
    }
    return buffer_.get() + used_;
}

void Output::rawFlushing(const char* s, size_t n) {
    std::memcpy(room(n), s, n);
    used_ += n;
    if (used_ >= kFlushAt)
        flush();
}

void Output::text(QStringView s) {
    char* const start = room(size_t(s.size()) * kMaxPerUnit);
    used_ += size_t(encodeUtf8<false>(start, s) - start);
    if (used_ >= kFlushAt)
        flush();
}

void Output::jsonString(QStringView s) {
    char* const start = room(size_t(s.size()) * kMaxPerUnit + 2);
    char* p = start;
    *p++ = '"';
    p = encodeUtf8<true>(p, s);
    *p++ = '"';
    used_ += size_t(p - start);
    if (used_ >= kFlushAt)
        flush();
}

std::string Output::json(QStringView s) {
    std::string out(size_t(s.size()) * kMaxPerUnit + 2, '"');
    char* end = encodeUtf8<true>(out.data() + 1, s);
    *end++ = '"';
    out.resize(size_t(end - out.data()));
    return out;
}

void Output::flush() {
    const size_t n = used_;
    used_ = 0;
    const bool ok = std::fwrite(buffer_.get(), 1, n, stdout) == n && std::fflush(stdout) == 0;
    if (!ok)
        throw std::runtime_error(std::string("无法写出结果：") + std::strerror(errno));
}

}  // namespace velmora::xlstool
