#include "tests/conformance/check.h"

#include <cstdio>

namespace conformance {

namespace {
int passed = 0;
int failed = 0;
const char* current_case = "";
bool silent = false;
}  // namespace

Case*& registry() {
    static Case* head = nullptr;
    return head;
}

std::vector<Case*> cases() {
    std::vector<Case*> in_order;
    for (Case* c = registry(); c != nullptr; c = c->next) in_order.insert(in_order.begin(), c);
    return in_order;
}

void begin(const Case& c) { current_case = c.name; }

void pass() { ++passed; }

int failures() { return failed; }

void quiet(bool on) { silent = on; }

void fail(const char* file, int line, const char* what) {
    ++failed;
    if (!silent) std::printf("FAILED %s: %s:%d: %s\n", current_case, file, line, what);
}

int report(const char* label) {
    std::printf("%s: %d passed, %d failed\n", label, passed, failed);
    return failed == 0 ? 0 : 1;
}

}  // namespace conformance
