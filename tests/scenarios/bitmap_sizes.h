// The bitmaps' sizes as the modules carry them, for native hosts that have no DLL to load them from: the tests'
// own expectations, as a host would read them from the resources.
#pragma once

#include <map>
#include <stdexcept>
#include <string>

#include "host/panel.h"
#include "variants/variant.h"

namespace test_support {

class BitmapSizes : public host_core::BitmapSource {
public:
    Size size(int id) override {
        const bool brevane = !afcp::Variant::afcp_has_feedback_images;
        if (id == 0x1000) return brevane ? Size{640, 143} : Size{746, 328};
        if (id == 0x1060) return brevane ? Size{614, 132} : Size{32, 32};
        static const std::map<int, Size> shared = {
            {0x1010, {21, 19}},   {0x1020, {21, 19}},   {0x1030, {54, 54}}, {0x1031, {54, 54}},   {0x1040, {74, 48}},
            {0x1050, {754, 278}}, {0x1055, {614, 132}}, {0x1100, {32, 32}}, {0x2100, {754, 254}}, {0x2110, {58, 782}},
            {0x2111, {58, 178}},  {0x2120, {623, 57}},  {0x2121, {178, 57}}};
        if (auto it = shared.find(id); it != shared.end()) return it->second;
        throw std::runtime_error("no bitmap " + std::to_string(id));
    }
};

}  // namespace test_support
