// A small JSON writer for what the hosts hand to other programs (the page's script, the preview's state files):
// objects, arrays, numbers (non-finite ones as null) and strings. A string's UTF-8 passes through as it is (a reader
// takes the text as UTF-8, as JSON is); the quote, the backslash and the control characters are escaped; a byte
// that does not start a whole, well-formed sequence (a cut one, an overlong form, a surrogate, a stray continuation
// byte) becomes U+FFFD, so that the text is always well-formed and no character reaches the reader in part.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>

namespace host_core {

class Json {
public:
    Json& raw(const std::string& s) {
        comma();
        text_ += s;
        return *this;
    }
    Json& key(const char* k) {
        comma();
        string_value(k);
        text_ += ':';
        fresh_ = true;
        return *this;
    }
    Json& str(const std::string& s) {
        comma();
        string_value(s);
        return *this;
    }
    Json& num(double v) {
        comma();
        if (!std::isfinite(v)) {
            text_ += "null";
        } else {
            char b[40];
            std::snprintf(b, sizeof b, "%.17g", v);
            text_ += b;
        }
        return *this;
    }
    Json& boolean(bool v) { return raw(v ? "true" : "false"); }
    Json& open(char c) {
        comma();
        text_ += c;
        fresh_ = true;
        return *this;
    }
    Json& close(char c) {
        text_ += c;
        fresh_ = false;
        return *this;
    }
    const std::string& text() const { return text_; }

private:
    void comma() {
        if (!fresh_) text_ += ',';
        fresh_ = false;
    }
    void string_value(const std::string& s) {
        text_ += '"';
        for (size_t i = 0; i < s.size();) {
            const auto c = static_cast<unsigned char>(s[i]);
            if (c == '"' || c == '\\') {
                text_ += '\\';
                text_ += static_cast<char>(c);
                ++i;
            } else if (c < 0x20 || c == 0x7F) {
                char b[8];
                std::snprintf(b, sizeof b, "\\u%04x", c);
                text_ += b;
                ++i;
            } else if (c < 0x80) {
                text_ += static_cast<char>(c);
                ++i;
            } else if (const size_t n = utf8_sequence(s, i); n > 0) {
                text_.append(s, i, n);
                i += n;
            } else {
                text_ += "\\ufffd";
                ++i;
            }
        }
        text_ += '"';
    }
    // The length of the well-formed UTF-8 sequence of two to four bytes at s[i], or 0 where none starts there
    // (RFC 3629, section 4: no overlong forms, no surrogates, nothing above U+10FFFF).
    static size_t utf8_sequence(const std::string& s, size_t i) {
        const auto byte = [&](size_t k) { return i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0u; };
        const unsigned lead = byte(0);
        size_t n = 0;
        unsigned low = 0x80, high = 0xBF;  // the second byte's range
        if (lead >= 0xC2 && lead <= 0xDF) {
            n = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            n = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            n = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return 0;
        }
        if (byte(1) < low || byte(1) > high) return 0;
        for (size_t k = 2; k < n; ++k)
            if (byte(k) < 0x80 || byte(k) > 0xBF) return 0;
        return n;
    }
    std::string text_;
    bool fresh_ = true;
};

}  // namespace host_core
