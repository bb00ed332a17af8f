// A small JSON writer for what the hosts hand to other programs (the page's script, the preview's state files):
// objects, arrays, numbers (non-finite ones as null) and strings with every byte outside printable ASCII escaped.
#pragma once

#include <cmath>
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
        for (unsigned char c : s) {
            if (c == '"' || c == '\\') {
                text_ += '\\';
                text_ += static_cast<char>(c);
            } else if (c < 0x20 || c >= 0x7F) {
                char b[8];
                std::snprintf(b, sizeof b, "\\u%04x", c);
                text_ += b;
            } else {
                text_ += static_cast<char>(c);
            }
        }
        text_ += '"';
    }
    std::string text_;
    bool fresh_ = true;
};

}  // namespace host_core
