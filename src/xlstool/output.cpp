#include "output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#ifndef _WIN32
#include <csignal>
#endif

namespace velmora::xlstool {

namespace {
constexpr size_t kFlushAt = 1 << 16;

// Writes c as UTF-8 at p; returns the end. At most 4 bytes.
char* putUtf8(char* p, char32_t c) {
    if (c < 0x80) {
        *p++ = char(c);
    } else if (c < 0x800) {
        *p++ = char(0xC0 | (c >> 6));
        *p++ = char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *p++ = char(0xE0 | (c >> 12));
        *p++ = char(0x80 | ((c >> 6) & 0x3F));
        *p++ = char(0x80 | (c & 0x3F));
    } else {
        *p++ = char(0xF0 | (c >> 18));
        *p++ = char(0x80 | ((c >> 12) & 0x3F));
        *p++ = char(0x80 | ((c >> 6) & 0x3F));
        *p++ = char(0x80 | (c & 0x3F));
    }
    return p;
}

// Appends s to out as UTF-8, each code point through put(p, c), which
// writes at most 6 bytes (a JSON \u escape) and returns the end; a
// surrogate without its partner becomes U+FFFD.
template <typename Put>
void appendEncoded(std::string& out, const QString& s, Put put) {
    const qsizetype n = s.size();
    const size_t start = out.size();
    out.resize(start + size_t(n) * 6);
    char* p = out.data() + start;
    const ushort* u = s.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = u[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && u[i + 1] >= 0xDC00 && u[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (u[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        p = put(p, c);
    }
    out.resize(size_t(p - out.data()));
}

char* putJson(char* p, char32_t c) {
    static const char hex[] = "0123456789abcdef";
    switch (c) {
        case '"':
            *p++ = '\\';
            *p++ = '"';
            return p;
        case '\\':
            *p++ = '\\';
            *p++ = '\\';
            return p;
        case '\n':
            *p++ = '\\';
            *p++ = 'n';
            return p;
        case '\r':
            *p++ = '\\';
            *p++ = 'r';
            return p;
        case '\t':
            *p++ = '\\';
            *p++ = 't';
            return p;
        default:
            break;
    }
    if (c >= 0x20)
        return putUtf8(p, c);
    for (char e : {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 15]}) *p++ = e;
    return p;
}

}  // namespace

Output::Output() {
#ifndef _WIN32
    // A reader that goes away (dump | head) must not end the tool by SIGPIPE:
    // the failed write is reported like any other.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    buffer_.reserve(kFlushAt * 2);
}

Output::~Output() {
    // Errors were reported by the explicit flush; nothing may throw here.
    if (!buffer_.empty())
        std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
}

void Output::raw(const char* s, size_t n) {
    buffer_.append(s, n);
    if (buffer_.size() >= kFlushAt)
        flush();
}

void Output::text(const QString& s) {
    appendEncoded(buffer_, s, putUtf8);
    if (buffer_.size() >= kFlushAt)
        flush();
}

void Output::jsonString(const QString& s) {
    buffer_ += '"';
    appendEncoded(buffer_, s, putJson);
    buffer_ += '"';
    if (buffer_.size() >= kFlushAt)
        flush();
}

void Output::flush() {
    const size_t n = buffer_.size();
    const bool ok = std::fwrite(buffer_.data(), 1, n, stdout) == n && std::fflush(stdout) == 0;
    buffer_.clear();
    if (!ok)
        throw std::runtime_error(std::string("无法写出结果：") + std::strerror(errno));
}

}  // namespace velmora::xlstool
