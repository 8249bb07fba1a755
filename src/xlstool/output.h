#pragma once

#include <QString>
#include <string>

// Standard output for the tool: buffered UTF-8, with write failures (a
// closed pipe, a full disk) reported as errors instead of ending the
// process by a signal.
namespace velmora::xlstool {

class Output {
public:
    Output();
    ~Output();
    void text(const QString& s);        // as UTF-8
    void jsonString(const QString& s);  // quoted and escaped, as UTF-8
    void raw(const char* s, size_t n);
    void raw(const char* s) { raw(s, std::char_traits<char>::length(s)); }
    // Writes out what is buffered; throws std::runtime_error on failure.
    void flush();

private:
    std::string buffer_;
};

}  // namespace velmora::xlstool
