// The main of a preview test program: runs every case its files register, each on its own (an exception ends
// only its case), and prints "LABEL: N passed, N failed". The program names its label with AFCP_TEST_LABEL.
#include <exception>

#include "tests/conformance/check.h"

int main() {
    using namespace conformance;
    for (Case* c : cases()) {
        begin(*c);
        try {
            c->run();
        } catch (const std::exception& e) {
            fail(__FILE__, __LINE__, e.what());
        }
    }
    return report(AFCP_TEST_LABEL);
}
