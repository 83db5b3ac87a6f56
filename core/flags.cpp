#include "core/flags.h"

std::atomic<uint32_t> flagsSP{0};
std::atomic<uint32_t> flagsODE{0};
std::atomic<uint32_t> flagsODK{0};
std::atomic<uint32_t> flagsV{0};
std::atomic<uint32_t> flagsL{0};
std::atomic<uint32_t> flagsF{0};
std::atomic<uint8_t> unitFlag{0};
std::atomic<uint8_t> abortFlag{0};
std::atomic<uint8_t> refreshFlag{0};
