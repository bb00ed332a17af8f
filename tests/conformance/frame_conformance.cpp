// The module frame as the host and the engine meet it: exports, imports, the linkage and gauge headers, the
// lifecycle routines, and the attach / update / disconnect cycle.
#include <algorithm>
#include <string>

#include "tests/conformance/check.h"
#include "tests/conformance/host.h"

using namespace host;

namespace {

const IMAGE_DATA_DIRECTORY& directory(HMODULE m, int entry) {
    auto* base = reinterpret_cast<const uint8_t*>(m);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    return nt->OptionalHeader.DataDirectory[entry];
}

ZolmCounts counts() {
    ZolmCounts c{};
    zolm_test_counts(&c);
    return c;
}

}  // namespace

CONFORMANCE_CASE(exports_are_the_two_records_only) {
    auto* base = reinterpret_cast<const uint8_t*>(module().handle);
    const IMAGE_DATA_DIRECTORY& d = directory(module().handle, IMAGE_DIRECTORY_ENTRY_EXPORT);
    auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + d.VirtualAddress);
    CHECK_EQ(exports->NumberOfFunctions, exports->NumberOfNames);
    std::vector<std::string> names;
    auto* name_list = reinterpret_cast<const uint32_t*>(base + exports->AddressOfNames);
    for (uint32_t i = 0; i < exports->NumberOfNames; ++i) names.emplace_back(reinterpret_cast<const char*>(base + name_list[i]));
    dll::check_exports(names);
}

CONFORMANCE_CASE(imports_are_system_dlls_and_the_engine_by_ordinal) {
    auto* base = reinterpret_cast<const uint8_t*>(module().handle);
    const IMAGE_DATA_DIRECTORY& d = directory(module().handle, IMAGE_DIRECTORY_ENTRY_IMPORT);
    std::vector<dll::Import> imports;
    for (auto* imp = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + d.VirtualAddress); imp->Name != 0; ++imp) {
        const std::string name = reinterpret_cast<const char*>(base + imp->Name);
        for (auto* thunk = reinterpret_cast<const IMAGE_THUNK_DATA32*>(base + imp->OriginalFirstThunk);
             thunk->u1.Ordinal != 0; ++thunk) {
            const bool by_ordinal = IMAGE_SNAP_BY_ORDINAL32(thunk->u1.Ordinal);
            imports.push_back({name, by_ordinal, by_ordinal ? IMAGE_ORDINAL32(thunk->u1.Ordinal) : 0,
                               by_ordinal ? "" : reinterpret_cast<const char*>(base + thunk->u1.AddressOfData + 2)});
        }
    }
    dll::check_imports(imports);
}

CONFORMANCE_CASE(linkage_and_gauge_headers) {
    dll::check_linkage_words(image());
    dll::check_gauge_headers(image());
    // Module init and deinit take nothing and do nothing.
    fn<void(__stdcall*)()>(module().linkage, 4)();
    fn<void(__stdcall*)()>(module().linkage, 8)();
    CHECK(services().reads.empty() && services().events.empty() && services().element_calls.empty());
}

CONFORMANCE_CASE(lifecycle_routines_pass_the_afcp_root) {
    const uint8_t* gs = module().gauge(GS);
    using Plain = int32_t(__stdcall*)();
    using Word = int32_t(__stdcall*)(uint32_t);
    CHECK_EQ(fn<Plain>(gs, 12)(), 1024);
    CHECK_EQ(fn<Word>(gs, 16)(0x1234), 1025);
    CHECK_EQ(fn<Plain>(gs, 20)(), 1026);
    CHECK_EQ(fn<Plain>(gs, 24)(), 1027);
    CHECK_EQ(fn<Word>(gs, 28)(0xFFFFFFFF), 1028);
    CHECK_EQ(fn<Plain>(gs, 32)(), 1029);
    CHECK_EQ(fn<Plain>(gs, 36)(), 1031);
    const int entries[] = {24, 25, 26, 27, 28, 29, 31};
    CHECK_EQ(services().element_calls.size(), 7);
    for (size_t i = 0; i < services().element_calls.size() && i < 7; ++i) {
        CHECK_EQ(services().element_calls[i].entry, entries[i]);
        CHECK(services().element_calls[i].element == module().root(AFCP));
    }
    if (services().element_calls.size() == 7) {
        CHECK_EQ(services().element_calls[1].word, 0x1234);
        CHECK_EQ(services().element_calls[4].word, 0xFFFFFFFF);
    }
}

CONFORMANCE_CASE(attach_registers_the_command_table) {
    put32(module().gauge(AFCP), offsets::header_parameter, reinterpret_cast<uint32_t>("AFCP settings"));
    module().service(AFCP, update);
    CHECK(module().block() != nullptr);
    CHECK_EQ(counts().attach_calls, 1);
    CHECK_EQ(counts().register_calls, 1);
    CHECK_EQ(counts().last_register_count, 41);
    int32_t was_null = 1;
    CHECK_STR(zolm_test_last_parameter(&was_null), "AFCP settings");
    CHECK_EQ(was_null, 0);
    CHECK(zolm_test_last_services() == services().table);
    CHECK(services().reads.empty());
    const char* names[41] = {"STAB",
                             "ALT",
                             "ALTA",
                             "ALTA_DECREASE",
                             "ALTA_INCREASE",
                             "HDG",
                             "HDG_LEFT",
                             "HDG_RIGHT",
                             "IAS",
                             "VS",
                             "VS_DECREASE",
                             "VS_INCREASE",
                             "CRHT",
                             "CRHT_DOWN",
                             "CRHT_UP",
                             "TDN",
                             "HOV",
                             "HOV_DOWN",
                             "HOV_UP",
                             "NAV",
                             "APP",
                             "GS",
                             "TRIM_UP",
                             "TRIM_RIGHT",
                             "TRIM_DOWN",
                             "TRIM_LEFT",
                             "IAS_INCREASE",
                             "IAS_DECREASE",
                             "ALT_INCREASE",
                             "ALT_DECREASE",
                             "ALT_VS_INCREASE",
                             "ALT_VS_DECREASE",
                             "GO_AROUND",
                             "FD_DISENGAGE",
                             "TRIM_CENTER",
                             "GS_FORWARD",
                             "GS_RESET_FB",
                             "GS_BACK",
                             "GS_RIGHT",
                             "GS_RESET_LR",
                             "GS_LEFT"};
    auto* table = reinterpret_cast<const uint8_t*>(zolm_test_table());
    std::vector<uint32_t> handlers;
    for (int i = 0; i < 41; ++i) {
        const uint8_t* entry = table + 44 * i;
        CHECK_STR(reinterpret_cast<const char*>(entry), names[i]);
        const size_t length = std::strlen(names[i]);
        bool padded = true;
        for (size_t b = length; b < 40; ++b) padded = padded && entry[b] == 0;
        CHECK(padded);
        CHECK(u32(entry, 40) != 0);
        handlers.push_back(u32(entry, 40));
    }
    std::sort(handlers.begin(), handlers.end());
    CHECK(std::adjacent_find(handlers.begin(), handlers.end()) == handlers.end());
}

CONFORMANCE_CASE(updates_sample_and_keep_the_stab_bits) {
    module().service(AFCP, update);
    uint8_t* block = module().block();
    put32(block, 0, 0x00100200);  // STAB and ALT
    put32(block, 4, 0x00000200);  // ALT.A armed
    module().update(10.0, -1.0);
    CHECK(services().reads == (std::vector<int32_t>{755, 131, 61, 614}));
    CHECK_EQ(u32(block, 0), 0x83F00200);
    CHECK_EQ(u32(block, 4), 0x200);
    module().update(9.99, 1.0);
    if (brevane) {
        CHECK_EQ(u32(block, 0), 0x80000000);
    } else {
        CHECK_EQ(u32(block, 0), 0x82000200);
    }
    CHECK_EQ(u32(block, 4), 0);
    CHECK(zolm_test_guards_intact() == 1);
}

CONFORMANCE_CASE(disconnect_releases_and_the_next_update_attaches_again) {
    module().service(AFCP, disconnect);
    CHECK_EQ(counts().release_calls, 1);
    zolm_test_fail_attach(1);
    module().service(AFCP, update);
    module().service(AFCP, update);
    CHECK_EQ(counts().attach_calls, 2);
    CHECK_EQ(counts().register_calls, 2);
    CHECK(services().reads.empty());
    zolm_test_fail_attach(0);
    module().service(AFCP, update);
    CHECK(module().block() != nullptr);
    module().service(AFCP, disconnect);
    CHECK(module().block() == nullptr);
    CHECK_EQ(counts().release_calls, 2);
    module().update();
    CHECK(module().block() != nullptr);
    CHECK(services().reads.empty());
}

CONFORMANCE_CASE(annunciator_t_parameter) {
    uint8_t* gauge = module().gauge(ANNUNCIATOR_T);
    auto texts = [&] {
        std::vector<uint8_t*> out;
        for (uint8_t* e = module().root(ANNUNCIATOR_T); ptr(e, offsets::element_children) != nullptr;) {
            e = ptr(ptr(e, offsets::element_children), 0);
            if (e == nullptr) break;
            out.push_back(e);
        }
        return out;
    };
    put32(gauge, offsets::header_parameter, reinterpret_cast<uint32_t>("255"));
    module().service(ANNUNCIATOR_T, update);
    for (uint8_t* t : texts()) CHECK_EQ(u32(t, offsets::text_background), 0x00020202);
    module().service(ANNUNCIATOR_T, parameters_ready);
    for (uint8_t* t : texts()) CHECK_EQ(u32(t, offsets::text_background), brevane ? 0x00020202 : 0x000000FF);
    put32(gauge, offsets::header_parameter, reinterpret_cast<uint32_t>("  -1"));
    module().service(ANNUNCIATOR_T, parameters_ready);
    for (uint8_t* t : texts()) CHECK_EQ(u32(t, offsets::text_background), brevane ? 0x00020202 : 0xFFFFFFFF);
    put32(gauge, offsets::header_parameter, 0);
    CHECK_EQ(u32(module().root(ANNUNCIATOR_T), offsets::element_kind), 0);
}

// The engine may call a command from inside `register commands`: the block is already the module's, and the
// module's stack is as it was when the registration returns. Then every registered command by name, attached.
CONFORMANCE_CASE(a_command_called_during_registration_and_every_command_by_name) {
    zolm_test_call_on_register("STAB");
    module().service(AFCP, update);
    CHECK(module().block() != nullptr);
    CHECK_EQ(u32(module().block(), 0) & 0x00100000, 0x00100000);  // STAB toggled on from inside registration
    CHECK_EQ(counts().register_calls, 1);
    module().update(28.0, 1.0, 80.0, 100.0);
    auto* table = reinterpret_cast<const uint8_t*>(zolm_test_table());
    for (int i = 0; i < 41; ++i) CHECK_EQ(command(reinterpret_cast<const char*>(table + 44 * i), 3, 4), 0);
    module().update(28.0, 1.0, 80.0, 100.0);
    CHECK(zolm_test_guards_intact() == 1);
    module().service(AFCP, disconnect);
    CHECK(module().block() == nullptr);
}

namespace {
int32_t __cdecl leaves_its_arguments(int32_t a, int32_t b) { return a + b; }
}  // namespace

// The host's stack check itself: a routine that leaves its two arguments where a __stdcall one must remove
// them is seen, and the host's stack is put back.
CONFORMANCE_CASE(the_host_sees_a_callee_that_leaves_its_arguments) {
    using Handler = int32_t(__stdcall*)(int32_t, int32_t);
    const Callback<Handler> call = {reinterpret_cast<Handler>(&leaves_its_arguments)};
    CHECK_EQ(call(2, 3), 5);
    CHECK_EQ(stack_record().unbalanced, 1);
    stack_record().unbalanced = 0;
}
