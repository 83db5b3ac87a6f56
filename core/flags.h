#pragma once
// Process-wide status words. Each bit is one warning or critical-error code; the
// worker thread raises bits while the window reads and clears them, so every word
// is atomic and is only changed with fetch_or / fetch_and.
#include <atomic>
#include <cstdint>

extern std::atomic<uint32_t> flagsSP; // SP00..SP17: species, equilibrium and transport
extern std::atomic<uint32_t> flagsODE; // ODE00..ODE08: nozzle flow (ODE05..ODE08: a run that is no result)
extern std::atomic<uint32_t> flagsODK; // ODK00..ODK08: kinetic nozzle flow
extern std::atomic<uint32_t> flagsV; // V00..V02 in bits 0..2, OPT00/OPT01 in bits 3/4
extern std::atomic<uint32_t> flagsL; // L00..L09: loading a propellant, nozzle or grain
extern std::atomic<uint32_t> flagsF; // F00..F31: data files
extern std::atomic<uint8_t> unitFlag; // code "U": 1 while a unit conversion has failed
extern std::atomic<uint8_t> abortFlag; // 1 = the user asked the running calculation to stop
extern std::atomic<uint8_t> refreshFlag; // 1 = a stored item changed; selection lists must be reloaded

inline void raiseFlag(std::atomic<uint32_t>& word, uint32_t mask)
{
    word.fetch_or(mask, std::memory_order_relaxed);
}
inline bool flagRaised(const std::atomic<uint32_t>& word, uint32_t mask)
{
    return (word.load(std::memory_order_relaxed) & mask) != 0;
}
inline void clearFlag(std::atomic<uint32_t>& word, uint32_t mask)
{
    word.fetch_and(~mask, std::memory_order_relaxed);
}

// Masks of every code, by name: raiseFlag(flagsSP, code::SP10).
// clang-format off
namespace code {
#define KAVRO_BIT(name, bit) constexpr uint32_t name = 1u << (bit);
KAVRO_BIT(SP00, 0) KAVRO_BIT(SP01, 1) KAVRO_BIT(SP02, 2) KAVRO_BIT(SP03, 3) KAVRO_BIT(SP04, 4)
KAVRO_BIT(SP05, 5) KAVRO_BIT(SP06, 6) KAVRO_BIT(SP07, 7) KAVRO_BIT(SP08, 8) KAVRO_BIT(SP09, 9)
KAVRO_BIT(SP10, 10) KAVRO_BIT(SP11, 11) KAVRO_BIT(SP12, 12) KAVRO_BIT(SP13, 13) KAVRO_BIT(SP14, 14)
KAVRO_BIT(SP15, 15) KAVRO_BIT(SP16, 16) KAVRO_BIT(SP17, 17)
KAVRO_BIT(ODE00, 0) KAVRO_BIT(ODE01, 1) KAVRO_BIT(ODE02, 2) KAVRO_BIT(ODE03, 3) KAVRO_BIT(ODE04, 4)
KAVRO_BIT(ODE05, 5) KAVRO_BIT(ODE06, 6) KAVRO_BIT(ODE07, 7) KAVRO_BIT(ODE08, 8)
KAVRO_BIT(ODK00, 0) KAVRO_BIT(ODK01, 1) KAVRO_BIT(ODK02, 2) KAVRO_BIT(ODK03, 3) KAVRO_BIT(ODK04, 4)
KAVRO_BIT(ODK05, 5) KAVRO_BIT(ODK06, 6) KAVRO_BIT(ODK07, 7) KAVRO_BIT(ODK08, 8)
KAVRO_BIT(V00, 0) KAVRO_BIT(V01, 1) KAVRO_BIT(V02, 2) KAVRO_BIT(OPT00, 3) KAVRO_BIT(OPT01, 4)
KAVRO_BIT(L00, 0) KAVRO_BIT(L01, 1) KAVRO_BIT(L02, 2) KAVRO_BIT(L03, 3) KAVRO_BIT(L04, 4)
KAVRO_BIT(L05, 5) KAVRO_BIT(L06, 6) KAVRO_BIT(L07, 7) KAVRO_BIT(L08, 8) KAVRO_BIT(L09, 9)
#undef KAVRO_BIT
// L00 to L07: the codes of loading a propellant (those after it are the nozzle's and the grain's).
constexpr uint32_t propellantLoadCodes = L00 | L01 | L02 | L03 | L04 | L05 | L06 | L07;
// File codes: file k (0 Species, 1 Reactants, 2 Kinetics, 3 Propellants, 4 Nozzles,
// 5 Grains, 6 Configurations, 7 Preferences).
enum DataFile : int { Species = 0, Reactants, Kinetics, Propellants, Nozzles, Grains, Configurations, PreferencesFile };
constexpr uint32_t F(int n) { return 1u << n; }
constexpr uint32_t fileMissing(DataFile k) { return F(2 * k); }             // not at the path in use
constexpr uint32_t fileMissingDefault(DataFile k) { return F(2 * k + 1); }  // not at the default path either
constexpr uint32_t fileCorrupt(DataFile k) { return F(16 + 2 * k); }        // unparsable at the path in use
constexpr uint32_t fileCorruptDefault(DataFile k) { return F(17 + 2 * k); } // unparsable at the default path
// F00, F02, ... F14: some file was not at the path in use and its default took its place,
// so the paths the preferences name are no longer those in use.
constexpr uint32_t anyFileMissing = fileMissing(Species) | fileMissing(Reactants) | fileMissing(Kinetics)
    | fileMissing(Propellants) | fileMissing(Nozzles) | fileMissing(Grains) | fileMissing(Configurations)
    | fileMissing(PreferencesFile);
} // namespace code
// clang-format on
