#pragma once
// The one table of preference values: section in Preferences.json, key (also the
// name of the process-wide variable), C++ type and default. The declarations, the
// loader, the reset and the writer are all generated from it, in this order, which
// is the order in which the loader reads the keys.
//
// KAVRO_PATH_PREFERENCES: the "Files" section; the default is appDirectory + suffix.
// KAVRO_VALUE_PREFERENCES: everything else. PATH_EXPORT's default is formed from
// appDirectory when the preferences are loaded, so its table default is empty.

#define KAVRO_PATH_PREFERENCES(P)                                                                                      \
    P(PREFERENCES, "/Data/Preferences.json")                                                                           \
    P(SPECIES, "/Data/Species.json")                                                                                   \
    P(REACTANTS, "/Data/Reactants.json")                                                                               \
    P(KINETICS, "/Data/Kinetics.json")                                                                                 \
    P(PROPELLANT, "/Data/Propellants.json")                                                                            \
    P(GRAIN, "/Data/Grains.json")                                                                                      \
    P(NOZZLE, "/Data/Nozzles.json")                                                                                    \
    P(CONFIGURATIONS, "/Data/Configurations.json")

#define KAVRO_VALUE_PREFERENCES(V)                                                                                     \
    V(General, WINSTYLE, uint8_t, 1)                                                                                   \
    V(General, default_tab, uint8_t, 3)                                                                                \
    V(General, preferences_tab, uint8_t, 0)                                                                            \
    V(General, NUM_DIS_PREC, uint8_t, 10)                                                                              \
    V(General, PATH_EXPORT, std::string, "")                                                                           \
    V(General, GLINE_WIDTH, uint8_t, 1)                                                                                \
    V(General, LIST_SEPARATOR, char, 59)                                                                               \
    V(General, DIG_OUT, uint8_t, 16)                                                                                   \
    V(General, NightMode, bool, false)                                                                                 \
    V(General, StatusBar, bool, true)                                                                                  \
    V(General, hideSolid, bool, true)                                                                                  \
    V(General, SAME_NAME_EXPORT, bool, true)                                                                           \
    V(General, IMG_WIDTH, uint32_t, 800)                                                                               \
    V(General, IMG_HEIGHT, uint32_t, 450)                                                                              \
    V(General, BabyMode, bool, false)                                                                                  \
    V(General, BLOCK_PREFERENCES, bool, false)                                                                         \
    V(General, LOCK_BABYMODE, bool, false)                                                                             \
    V(PropTab, DEF_REAC_T, double, 298.15)                                                                             \
    V(PropTab, CS_PLOT_POINTS, uint32_t, 100)                                                                          \
    V(PropTab, MIN_PRES_CS_PLOT, double, 500000)                                                                       \
    V(PropTab, MAX_PRES_CS_PLOT, double, 10000000)                                                                     \
    V(PropTab, PRES_VIELLE_TOP_LIMIT, bool, true)                                                                      \
    V(PropTab, ONLY_COMPATIBLE, bool, true)                                                                            \
    V(PropTab, DISABLE_INCOMPATIBLE, bool, true)                                                                       \
    V(PropTab, COMP_OPT_MIN, double, 1)                                                                                \
    V(PropTab, COMP_OPT_MAX, double, 10)                                                                               \
    V(PropTab, COMP_OPT_NUM, uint32_t, 200)                                                                            \
    V(PropTab, COMP_OPT_PRES, double, 1000000)                                                                         \
    V(GrainTab, COMB_EV, uint8_t, 0)                                                                                   \
    V(GrainTab, PRES_MAX_ITER, uint32_t, 50)                                                                           \
    V(GrainTab, PRES_TOL, double, 0.0004)                                                                              \
    V(GrainTab, PRES_INITIAL_ESTIMATE, double, 3000000)                                                                \
    V(Nozzletab, Nozzle_display, uint8_t, 1)                                                                           \
    V(Nozzletab, VNOZZ, bool, true)                                                                                    \
    V(Nozzletab, NOZZLE_BRUSH, bool, false)                                                                            \
    V(Nozzletab, OPT_WITH, uint8_t, 0)                                                                                 \
    V(Nozzletab, OPT_AREA, uint8_t, 4)                                                                                 \
    V(Nozzletab, OPT_TREAC, double, 298.15)                                                                            \
    V(Nozzletab, OPT_MAX_ITER, double, 200)                                                                            \
    V(Nozzletab, OPT_TOL, double, 0.01)                                                                                \
    V(Nozzletab, NUM_POINTS_OPT, double, 10)                                                                           \
    V(Nozzletab, OPT_FROZ, bool, true)                                                                                 \
    V(Datatab, TYPE_RESULTS, uint8_t, 0)                                                                               \
    V(Datatab, ABORT, uint16_t, 15)                                                                                    \
    V(Datatab, NORMALIZED, bool, false)                                                                                \
    V(Datatab, GRAPH_Y_0, bool, false)                                                                                 \
    V(Datatab, SHOW_FREEZE, bool, true)                                                                                \
    V(Datatab, SHOW_AP_CHANGE, bool, true)                                                                             \
    V(Datatab, ONLY_FROZ, bool, false)                                                                                 \
    V(General, DER_PREC, uint8_t, 2)                                                                                   \
    V(General, INTER_PREC, uint8_t, 2)                                                                                 \
    V(General, INT_METHOD, uint8_t, 1)                                                                                 \
    V(Datatab, VEL_CHAMBER, double, 30)                                                                                \
    V(Datatab, C_BARTZ, double, 0.026)                                                                                 \
    V(Datatab, m_BARTZ, double, 0.8)                                                                                   \
    V(Datatab, n_BARTZ, double, 0.4)                                                                                   \
    V(Datatab, wv_BARTZ, double, 0.6)                                                                                  \
    V(Datatab, wk_BARTZ, double, 0.6)                                                                                  \
    V(Datatab, wc_BARTZ, double, 0)                                                                                    \
    V(Datatab, curv_BARTZ, double, 0.1)                                                                                \
    V(Equilibrium, MAX_ITER_EQ, uint32_t, 8000)                                                                        \
    V(Equilibrium, MAX_ITER_IONS, uint32_t, 100)                                                                       \
    V(Equilibrium, MIN_SP_LOG_N, double, -18.420681)                                                                   \
    V(Equilibrium, MIN_ION_LOG_N, double, -18.420681)                                                                  \
    V(Equilibrium, TOL_T, double, 0.0001)                                                                              \
    V(Equilibrium, TOL_S, double, 5e-5)                                                                                \
    V(Equilibrium, TOL_N, double, 5e-6)                                                                                \
    V(Equilibrium, TOL_b, double, 1e-6)                                                                                \
    V(Equilibrium, TOL_ION, double, 0.0001)                                                                            \
    V(Equilibrium, TOLERANCE_PI_LOW_N, double, 0.001)                                                                  \
    V(Equilibrium, T_SEED, double, 3800)                                                                               \
    V(Equilibrium, INITIAL_MIX_N, double, 0.1)                                                                         \
    V(Equilibrium, SING_RESET, double, 1e-6)                                                                           \
    V(Equilibrium, ION_RESET, double, 1e-5)                                                                            \
    V(Equilibrium, LOG_ION_RESET, double, -11.5129255)                                                                 \
    V(Equilibrium, COND_Akl, double, 1.1)                                                                              \
    V(Equilibrium, INITIAL_CONDENSED, double, 1e-5)                                                                    \
    V(ODE, THROAT_CONV, double, 4e-5)                                                                                  \
    V(ODE, CONV_COND, double, 4e-5)                                                                                    \
    V(ODE, FROZ_COND, double, 5e-5)                                                                                    \
    V(ODE, ln_Pinf_Pi_RESET, double, 0.0001)                                                                           \
    V(ODE, AR_DIFF_TOL, double, 1e-5)                                                                                  \
    V(ODE, XOFF_NEW_ACH, double, 1.05)                                                                                 \
    V(ODE, FAC_CONV, double, 2e-5)                                                                                     \
    V(ODE, MAX_ITER_THROAT, uint32_t, 20)                                                                              \
    V(ODE, MAX_ITER_ODE, uint32_t, 10)                                                                                 \
    V(ODE, MAX_ITER_FROZEN, uint32_t, 10)                                                                              \
    V(ODE, MAX_ITER_FROZEN_THROAT, uint32_t, 20)                                                                       \
    V(ODE, MAX_ITER_FAC, uint32_t, 20)                                                                                 \
    V(ODE, INJ_VEL, double, 0)                                                                                         \
    V(ODK, REL_TOL, double, 1e-10)                                                                                     \
    V(ODK, ABS_TOL, double, 1e-8)                                                                                      \
    V(ODK, MAX_ITER_GLOBAL, uint32_t, 400)                                                                             \
    V(ODK, MAX_ITER_THROAT_ODK, uint32_t, 20)                                                                          \
    V(ODK, MAX_ITER_MF_ODK, uint32_t, 20)                                                                              \
    V(ODK, MAX_ITER_POINTS_ODK, uint32_t, 40)                                                                          \
    V(ODK, CONV_E_P_SWITCH, double, 1.08)                                                                              \
    V(ODK, DIV_E_P_SWITCH, double, 1.12)                                                                               \
    V(ODK, THROAT_TOL_ODK, double, 0.0001)                                                                             \
    V(ODK, POINT_TOL_ODK, double, 0.0001)                                                                              \
    V(ODK, MF_TOL_ODK, double, 0.0001)                                                                                 \
    V(ODK, THROATPOS_TOL_ODK, double, 0.001)                                                                           \
    V(ODK, MF_AREA_RELEVANCE, double, 150)                                                                             \
    V(ODK, POINT_A_MAX_CORRECTION, double, 0.01)                                                                       \
    V(ODK, THROAT_P_POS_RELEVANCE, double, 0.1)

// The values each preference may hold, in the form the Preferences dialog shows them.
// The dialog refuses a value outside them, and the loader gives a stored value outside
// them its default (raising the code of a mistyped member), so a value the program
// runs with is always one the dialog would accept. Keys without a row (booleans, paths)
// take any value of their type.
//
// L(key, scale, low rule, low, high rule, high). Rules: Above (>), AtLeast (>=),
// Below (<), AtMost (<=), Unbounded. Scale Logarithm: the key stores the natural
// logarithm of the value shown (the bounds are those of the shown value); Plain: the
// value itself. Pressures are shown in MPa, atm or bar; their bounds (0 or none) are the
// same in Pa. Choices span the items of their combo box. LIST_SEPARATOR is the code of
// one printable ASCII character: a non-ASCII byte would break the UTF-8 of a CSV file and
// a control character its rows. The upper bounds of the image size and the c* curve keep
// an export or a curve from asking for gigabytes.
#define KAVRO_PREFERENCE_LIMITS(L)                                                                                     \
    L(WINSTYLE, Plain, AtLeast, 0, AtMost, 1)                                                                          \
    L(default_tab, Plain, AtLeast, 0, AtMost, 3)                                                                       \
    L(preferences_tab, Plain, AtLeast, 0, AtMost, 7)                                                                   \
    L(NUM_DIS_PREC, Plain, AtLeast, 1, AtMost, 20)                                                                     \
    L(GLINE_WIDTH, Plain, AtLeast, 0, AtMost, 2)                                                                       \
    L(LIST_SEPARATOR, Plain, AtLeast, 32, AtMost, 126)                                                                 \
    L(DIG_OUT, Plain, AtLeast, 1, AtMost, 20)                                                                          \
    L(IMG_WIDTH, Plain, AtLeast, 10, AtMost, 10000)                                                                    \
    L(IMG_HEIGHT, Plain, AtLeast, 10, AtMost, 10000)                                                                   \
    L(DEF_REAC_T, Plain, AtLeast, 0, Unbounded, 0)                                                                     \
    L(CS_PLOT_POINTS, Plain, AtLeast, 10, AtMost, 100000)                                                              \
    L(MIN_PRES_CS_PLOT, Plain, Above, 0, Unbounded, 0)                                                                 \
    L(COMP_OPT_MIN, Plain, Above, 0, Unbounded, 0)                                                                     \
    L(COMP_OPT_NUM, Plain, AtLeast, 4, Unbounded, 0)                                                                   \
    L(COMP_OPT_PRES, Plain, Above, 0, Unbounded, 0)                                                                    \
    L(COMB_EV, Plain, AtLeast, 0, AtMost, 2)                                                                           \
    L(PRES_MAX_ITER, Plain, AtLeast, 4, Unbounded, 0)                                                                  \
    L(PRES_TOL, Plain, Above, 0, AtMost, 0.1)                                                                          \
    L(PRES_INITIAL_ESTIMATE, Plain, Above, 0, Unbounded, 0)                                                            \
    L(Nozzle_display, Plain, AtLeast, 0, AtMost, 2)                                                                    \
    L(OPT_WITH, Plain, AtLeast, 0, AtMost, 1)                                                                          \
    L(OPT_AREA, Plain, AtLeast, 0, AtMost, 4)                                                                          \
    L(OPT_TREAC, Plain, Above, 0, Unbounded, 0)                                                                        \
    L(OPT_MAX_ITER, Plain, AtLeast, 10, AtMost, 4294967295.0)                                                          \
    L(OPT_TOL, Plain, Above, 0, AtMost, 1)                                                                             \
    L(NUM_POINTS_OPT, Plain, AtLeast, 4, AtMost, 4294967295.0)                                                         \
    L(TYPE_RESULTS, Plain, AtLeast, 0, AtMost, 1)                                                                      \
    L(ABORT, Plain, AtLeast, 1, AtMost, 65535)                                                                         \
    L(DER_PREC, Plain, AtLeast, 0, AtMost, 3)                                                                          \
    L(INTER_PREC, Plain, AtLeast, 0, AtMost, 3)                                                                        \
    L(INT_METHOD, Plain, AtLeast, 0, AtMost, 2)                                                                        \
    L(VEL_CHAMBER, Plain, Above, 0, Unbounded, 0)                                                                      \
    L(C_BARTZ, Plain, AtLeast, 0, Unbounded, 0)                                                                        \
    L(m_BARTZ, Plain, AtLeast, 0, Unbounded, 0)                                                                        \
    L(n_BARTZ, Plain, AtLeast, 0, Unbounded, 0)                                                                        \
    L(wv_BARTZ, Plain, AtLeast, 0, Unbounded, 0)                                                                       \
    L(wk_BARTZ, Plain, AtLeast, 0, Unbounded, 0)                                                                       \
    L(wc_BARTZ, Plain, AtLeast, 0, Unbounded, 0)                                                                       \
    L(curv_BARTZ, Plain, AtLeast, 0, Unbounded, 0)                                                                     \
    L(MAX_ITER_EQ, Plain, AtLeast, 2, Unbounded, 0)                                                                    \
    L(MAX_ITER_IONS, Plain, AtLeast, 2, Unbounded, 0)                                                                  \
    L(MIN_SP_LOG_N, Logarithm, Above, 0, AtMost, 0.01)                                                                 \
    L(MIN_ION_LOG_N, Logarithm, Above, 0, AtMost, 0.01)                                                                \
    L(TOL_T, Plain, Above, 0, AtMost, 0.1)                                                                             \
    L(TOL_S, Plain, Above, 0, AtMost, 0.1)                                                                             \
    L(TOL_N, Plain, Above, 0, AtMost, 0.1)                                                                             \
    L(TOL_b, Plain, Above, 0, AtMost, 0.1)                                                                             \
    L(TOL_ION, Plain, Above, 0, AtMost, 0.1)                                                                           \
    L(TOLERANCE_PI_LOW_N, Plain, Above, 0, AtMost, 0.1)                                                                \
    L(T_SEED, Plain, Above, 0, Unbounded, 0)                                                                           \
    L(INITIAL_MIX_N, Plain, Above, 0, AtMost, 1)                                                                       \
    L(SING_RESET, Plain, AtLeast, 0, AtMost, 0.001)                                                                    \
    L(ION_RESET, Plain, Above, 0, AtMost, 0.001)                                                                       \
    L(LOG_ION_RESET, Logarithm, Above, 0, AtMost, 0.001)                                                               \
    L(COND_Akl, Plain, Above, 0, Unbounded, 0)                                                                         \
    L(INITIAL_CONDENSED, Plain, Above, 0, AtMost, 0.1)                                                                 \
    L(THROAT_CONV, Plain, Above, 0, AtMost, 0.1)                                                                       \
    L(CONV_COND, Plain, Above, 0, AtMost, 0.1)                                                                         \
    L(FROZ_COND, Plain, Above, 0, AtMost, 0.1)                                                                         \
    L(ln_Pinf_Pi_RESET, Logarithm, Above, 1, AtMost, 1.1)                                                              \
    L(AR_DIFF_TOL, Plain, Above, 0, AtMost, 0.1)                                                                       \
    L(XOFF_NEW_ACH, Plain, AtLeast, 1, AtMost, 1.2)                                                                    \
    L(FAC_CONV, Plain, Above, 0, AtMost, 0.01)                                                                         \
    L(MAX_ITER_THROAT, Plain, AtLeast, 2, Unbounded, 0)                                                                \
    L(MAX_ITER_ODE, Plain, AtLeast, 2, Unbounded, 0)                                                                   \
    L(MAX_ITER_FROZEN, Plain, AtLeast, 2, Unbounded, 0)                                                                \
    L(MAX_ITER_FROZEN_THROAT, Plain, AtLeast, 2, Unbounded, 0)                                                         \
    L(MAX_ITER_FAC, Plain, AtLeast, 2, Unbounded, 0)                                                                   \
    L(INJ_VEL, Plain, AtLeast, 0, Unbounded, 0)                                                                        \
    L(REL_TOL, Plain, Above, 0, AtMost, 0.1)                                                                           \
    L(ABS_TOL, Plain, Above, 0, AtMost, 0.1)                                                                           \
    L(MAX_ITER_GLOBAL, Plain, AtLeast, 2, Unbounded, 0)                                                                \
    L(MAX_ITER_THROAT_ODK, Plain, AtLeast, 4, Unbounded, 0)                                                            \
    L(MAX_ITER_MF_ODK, Plain, AtLeast, 4, Unbounded, 0)                                                                \
    L(MAX_ITER_POINTS_ODK, Plain, AtLeast, 4, Unbounded, 0)                                                            \
    L(CONV_E_P_SWITCH, Plain, Above, 1, AtMost, 1.4)                                                                   \
    L(DIV_E_P_SWITCH, Plain, Above, 1, AtMost, 1.4)                                                                    \
    L(THROAT_TOL_ODK, Plain, Above, 0, AtMost, 0.1)                                                                    \
    L(POINT_TOL_ODK, Plain, Above, 0, AtMost, 0.1)                                                                     \
    L(MF_TOL_ODK, Plain, Above, 0, AtMost, 0.1)                                                                        \
    L(THROATPOS_TOL_ODK, Plain, Above, 0, AtMost, 1)                                                                   \
    L(MF_AREA_RELEVANCE, Plain, Above, 0, Unbounded, 0)                                                                \
    L(POINT_A_MAX_CORRECTION, Plain, Above, 0, AtMost, 0.1)                                                            \
    L(THROAT_P_POS_RELEVANCE, Plain, Above, 0, Unbounded, 0)

// Pairs whose first value must stay below the second (the range of the c* graph and of
// the mixture ratios tested). A stored pair out of order loads as the two defaults.
#define KAVRO_ORDERED_PREFERENCE_PAIRS(P)                                                                              \
    P(MIN_PRES_CS_PLOT, MAX_PRES_CS_PLOT)                                                                              \
    P(COMP_OPT_MIN, COMP_OPT_MAX)
