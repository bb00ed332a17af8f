#include "tests/conformance/host.h"

#include <cstdio>

#include "tests/conformance/check.h"

namespace host {

namespace {

Services* current_services = nullptr;
Module current_module;
LoadedImage current_image;

const IMAGE_NT_HEADERS32* headers(HMODULE m) {
    auto* base = reinterpret_cast<const uint8_t*>(m);
    return reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
}

// The section of the loaded module that holds `address`, or null.
const IMAGE_SECTION_HEADER* section_of(uint32_t address) {
    if (current_module.handle == nullptr) return nullptr;
    const IMAGE_NT_HEADERS32* nt = headers(current_module.handle);
    const uint32_t base = reinterpret_cast<uint32_t>(current_module.handle);
    const IMAGE_SECTION_HEADER* s = IMAGE_FIRST_SECTION(nt);
    for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++s)
        if (address >= base + s->VirtualAddress && address - base - s->VirtualAddress < s->Misc.VirtualSize) return s;
    return nullptr;
}

void read_variable(uint8_t* record) {
    Services& s = *current_services;
    const int32_t token = i32(record, 0);
    s.reads.push_back(token);
    bool zeroed = true;
    for (int i = 4; i < 28; ++i) zeroed = zeroed && record[i] == 0;
    s.read_zeroed.push_back(zeroed);
    if (auto raw = s.raw.find(token); raw != s.raw.end()) {
        std::memcpy(record + 12, &raw->second, 8);
    } else if (auto value = s.values.find(token); value != s.values.end()) {
        std::memcpy(record + 12, &value->second, 8);
    }
}

void send_event(uint32_t event, uint32_t parameter) { current_services->events.push_back({event, parameter}); }

int32_t element_service(int entry, void* element, uint32_t word) {
    current_services->element_calls.push_back({entry, element, word});
    return 1000 + entry;
}

template <int Entry>
int32_t element_entry(void* element) {
    return element_service(Entry, element, 0);
}
template <int Entry>
int32_t element_word_entry(void* element, uint32_t word) {
    return element_service(Entry, element, word);
}

// The services table as a host built with the given convention lends it: the same work behind each entry.
void fill(void** table, Convention c) {
    using host_conventions::Lend;
    table[40] = Lend<&read_variable>::entry(c);
    table[36] = Lend<&send_event>::entry(c);
    table[24] = Lend<&element_entry<24>>::entry(c);
    table[25] = Lend<&element_word_entry<25>>::entry(c);
    table[26] = Lend<&element_entry<26>>::entry(c);
    table[27] = Lend<&element_entry<27>>::entry(c);
    table[28] = Lend<&element_word_entry<28>>::entry(c);
    table[29] = Lend<&element_entry<29>>::entry(c);
    table[31] = Lend<&element_entry<31>>::entry(c);
}

bool load_module() {
    current_module = Module{};
    current_module.handle = LoadLibraryA(AFCP_MODULE_FILE);
    if (current_module.handle == nullptr) return false;
    current_module.import_table = reinterpret_cast<uint8_t*>(GetProcAddress(current_module.handle, "ImportTable"));
    current_module.linkage = reinterpret_cast<uint8_t*>(GetProcAddress(current_module.handle, "Linkage"));
    if (current_module.import_table == nullptr || current_module.linkage == nullptr) return false;
    current_image.import_table = reinterpret_cast<uint32_t>(current_module.import_table);
    current_image.linkage = reinterpret_cast<uint32_t>(current_module.linkage);
    for (int i = 0; i < 4; ++i) current_module.import_table_at_load[i] = u32(current_module.import_table, 4 * i);
    // As the host does at load: the panel services table goes into word 1.
    put32(current_module.import_table, 4, reinterpret_cast<uint32_t>(current_services->table));
    return true;
}

}  // namespace

Services& services() { return *current_services; }
const Module& module() { return current_module; }
const LoadedImage& image() { return current_image; }

const uint8_t* LoadedImage::at(uint32_t address, uint32_t bytes) const {
    if (current_module.handle == nullptr) return nullptr;
    const uint32_t base = reinterpret_cast<uint32_t>(current_module.handle);
    const uint32_t size = headers(current_module.handle)->OptionalHeader.SizeOfImage;
    if (address < base || uint64_t(address - base) + bytes > size) return nullptr;
    const uint32_t table = reinterpret_cast<uint32_t>(current_module.import_table);
    if (address >= table && uint64_t(address) + bytes <= uint64_t(table) + sizeof current_module.import_table_at_load)
        return reinterpret_cast<const uint8_t*>(current_module.import_table_at_load) + (address - table);
    return reinterpret_cast<const uint8_t*>(address);
}

bool LoadedImage::code(uint32_t address) const {
    const IMAGE_SECTION_HEADER* s = section_of(address);
    return s != nullptr && (s->Characteristics & IMAGE_SCN_MEM_EXECUTE) != 0;
}

bool LoadedImage::writable(uint32_t address) const {
    const IMAGE_SECTION_HEADER* s = section_of(address);
    return s != nullptr && (s->Characteristics & IMAGE_SCN_MEM_WRITE) != 0;
}

void Module::update(double supply, double enable, double airspeed, double radar_height) const {
    services().set(755, supply);
    services().set(131, enable);
    services().set(61, airspeed);
    services().set(614, radar_height);
    service(AFCP, host::update);
}

}  // namespace host

// The host's side of every call into the module (host.h): it pushes the words, calls, and compares the stack
// pointer after the call with the one before the words were pushed, as a __stdcall callee must leave it.
// esi and edi are kept by every callee; eax, edx and st(0) carry the result out untouched.
asm(R"(
    .text
    .globl _host_call_word
    .globl _host_call_double
_host_call_word:
_host_call_double:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    movl 12(%ebp), %esi
    movl 16(%ebp), %ecx
    movl %esp, %edi
    jecxz 2f
1:  pushl -4(%esi,%ecx,4)
    decl %ecx
    jnz 1b
2:  calll *8(%ebp)
    movl 20(%ebp), %ecx
    cmpl %esp, %edi
    setne (%ecx)
    movl %edi, %esp
    popl %edi
    popl %esi
    popl %ebp
    ret
)");

namespace host {
StackRecord& stack_record() {
    static StackRecord record;
    return record;
}
}  // namespace host

// host [--services=stdcall|cdecl]: the convention of the panel services it lends (stdcall without one).
int main(int argc, char** argv) {
    using namespace conformance;
    host::Convention convention = host::Convention::callee_cleans;
    if (!host_conventions::parse_arguments(argc, argv, convention)) return 2;
    for (Case* c : cases()) {
        begin(*c);
        zolm_test_reset();
        host::Services services;
        host::fill(services.table, convention);
        host::current_services = &services;
        host::stack_record() = {};
        // A fresh module for every case: its static state starts as at load.
        if (!host::load_module()) {
            fail(__FILE__, __LINE__, "load " AFCP_MODULE_FILE " and find ImportTable and Linkage");
            break;
        }
        c->run();
        // Every callback of the case returned with the host's stack as it found it.
        CHECK_EQ(host::stack_record().unbalanced, 0);
        zolm_test_reset();
        FreeLibrary(host::current_module.handle);
        host::current_services = nullptr;
    }
    char label[128];
    std::snprintf(label, sizeof label, "%s, %s services", AFCP_MODULE_FILE, host_conventions::name(convention));
    return report(label);
}
