// A small test runner for the Windows-side tests: cases register themselves, checks count and report, and the
// run ends with "N passed, N failed".
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace conformance {

struct Case {
    const char* name;
    void (*run)();
    Case* next;
};

Case*& registry();
// The registered cases in the order they stand in their files.
std::vector<Case*> cases();
// Names the case that the following checks belong to.
void begin(const Case& c);
void fail(const char* file, int line, const char* what);
void pass();
// The failures counted so far.
int failures();
// While quiet, failures are counted but not printed (a check run on a copy that is meant to fail).
void quiet(bool on);
// Prints "LABEL: N passed, N failed"; returns the exit code of the run.
int report(const char* label);

struct Register {
    Register(Case* c) {
        c->next = registry();
        registry() = c;
    }
};

#define CONFORMANCE_CASE(name)                                     \
    static void name();                                            \
    static conformance::Case name##_case = {#name, name, nullptr}; \
    static conformance::Register name##_register(&name##_case);    \
    static void name()

#define CHECK(cond)                                       \
    do {                                                  \
        if (cond)                                         \
            conformance::pass();                          \
        else                                              \
            conformance::fail(__FILE__, __LINE__, #cond); \
    } while (0)

// Compares two integers (or pointers cast to integers) and prints both on failure.
#define CHECK_EQ(a, b)                                                                                         \
    do {                                                                                                       \
        const long long check_a = static_cast<long long>(a), check_b = static_cast<long long>(b);              \
        if (check_a == check_b) {                                                                              \
            conformance::pass();                                                                               \
        } else {                                                                                               \
            char check_text[256];                                                                              \
            std::snprintf(check_text, sizeof check_text, "%s == %s (0x%llx vs 0x%llx)", #a, #b,                \
                          static_cast<unsigned long long>(check_a), static_cast<unsigned long long>(check_b)); \
            conformance::fail(__FILE__, __LINE__, check_text);                                                 \
        }                                                                                                      \
    } while (0)

#define CHECK_STR(a, b)                                                                         \
    do {                                                                                        \
        const char *check_a = (a), *check_b = (b);                                              \
        if (check_a != nullptr && check_b != nullptr && std::strcmp(check_a, check_b) == 0) {   \
            conformance::pass();                                                                \
        } else {                                                                                \
            char check_text[256];                                                               \
            std::snprintf(check_text, sizeof check_text, "%s == %s (\"%s\" vs \"%s\")", #a, #b, \
                          check_a ? check_a : "(null)", check_b ? check_b : "(null)");          \
            conformance::fail(__FILE__, __LINE__, check_text);                                  \
        }                                                                                       \
    } while (0)

}  // namespace conformance
