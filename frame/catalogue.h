// The module's exports and its gauge catalogue: ImportTable, Linkage, the eleven gauge headers, the seven
// lifecycle routines and the "Annunciator-T" service callback.
#pragma once

#include <array>
#include <cstdint>

#include "frame/abi.h"
#include "frame/host.h"

extern "C" afcp::LinkageRecord Linkage;

namespace afcp {

// Gauge slots in catalogue order.
enum Gauge : int {
    kGaugeAFCP,
    kGaugeIASSelect,
    kGaugeALTSelect,
    kGaugeALTVSSelect,
    kGaugeAPTrim,
    kGaugeHighModesDisengage,
    kGaugeGoAround,
    kGaugeStab,
    kGaugeAnnunciator,
    kGaugeAnnunciatorT,
    kGaugeGS,
    kGaugeCount
};

extern std::array<GaugeHeader, kGaugeCount> gauge_headers;

void AFCP_STDCALL annunciator_t_service(GaugeHeader* gauge, int32_t service, uint32_t ignored);

// A decimal number as the parameter string gives it: leading white space, an optional sign, digits up to the
// first non-digit; no digits give 0. Saturates at the int32 limits.
int32_t parse_decimal(const char* text);

// The seven lifecycle routines, each handing the "AFCP" root element to one element-list service.
int32_t AFCP_STDCALL lifecycle_1();
int32_t AFCP_STDCALL lifecycle_2(uint32_t word);
int32_t AFCP_STDCALL lifecycle_3();
int32_t AFCP_STDCALL lifecycle_4();
int32_t AFCP_STDCALL lifecycle_5(uint32_t word);
int32_t AFCP_STDCALL lifecycle_6();
int32_t AFCP_STDCALL lifecycle_7();

}  // namespace afcp
