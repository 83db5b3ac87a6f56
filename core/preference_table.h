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
