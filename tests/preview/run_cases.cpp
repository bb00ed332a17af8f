// The main of a preview test program: runs every case its files register, each on its own (an exception ends
// only its case), and prints "LABEL, CONVENTION services: N passed, N failed". The program names its label with
// AFCP_TEST_LABEL; --services=stdcall|cdecl chooses the panel services its hosts lend (run_cases.h).
#include "tests/preview/run_cases.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "tests/conformance/check.h"

namespace preview_tests {
host_conventions::Convention services = host_conventions::Convention::callee_cleans;
}  // namespace preview_tests

int main(int argc, char** argv) {
    using namespace conformance;
    if (!host_conventions::parse_arguments(argc, argv, preview_tests::services)) return 2;
    for (Case* c : cases()) {
        begin(*c);
        try {
            c->run();
        } catch (const std::exception& e) {
            fail(__FILE__, __LINE__, e.what());
        }
    }
    const std::string label =
        std::string(AFCP_TEST_LABEL) + ", " + host_conventions::name(preview_tests::services) + " services";
    return report(label.c_str());
}
