// std::from_chars for float, which the web build's C++ library (emscripten 3.1.6's libc++) lacks:
// the same answers for the decimal forms the readers hand it, by strtof on a bounded copy of
// the number's characters. Forced into every web unit by web.cmake. Web back end only.
#pragma once

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <string>
#include <system_error>

namespace std {
inline from_chars_result from_chars(const char* first, const char* last, float& value,
                                    chars_format format = chars_format::general) {
    (void)format;
    const char* p = first;
    while (p < last && (isalnum((unsigned char)*p) || *p == '.' || *p == '-' || *p == '+')) {
        ++p;
    }
    if (first == last || *first == '+' || isspace((unsigned char)*first)) {
        return {first, errc::invalid_argument};
    }
    const std::string word(first, p);
    char* stop = nullptr;
    errno = 0;
    const float parsed = strtof(word.c_str(), &stop);
    if (stop == word.c_str()) {
        return {first, errc::invalid_argument};
    }
    const char* end = first + (stop - word.c_str());
    if (errno == ERANGE) {
        return {end, errc::result_out_of_range};
    }
    value = parsed;
    return {end, errc()};
}
} // namespace std
