#include "core/flag_codes.h"

// Message lines are shown to the user exactly as written here, spelling included.
// clang-format off
const std::array<FlagCode, 84> flagCodes = {{
    {"SP00", FlagWord::SP, 1u << 0, Severity::Warning,
     "SP00 - Unknown error",
     "An unexpected condition was met while a species' properties were evaluated, for instance a temperature that falls in a gap between two of its definition intervals, or one that is not a number. The values computed before were kept, so the results of the last calculation may be inaccurate. Check the temperature intervals of the species in the database browser and run the calculation again."},
    {"SP01", FlagWord::SP, 1u << 1, Severity::Warning,
     "SP01 - One of the species used in last calculation was at a temperature under its Cp definition range",
     "A species of the last calculation reached a temperature below the lowest temperature of its Cp fit. Its Cp was held at the value at the end of the fit (constant Cp below it), so its enthalpy and entropy there are only approximate. If the species matters at that temperature, import a fit that covers it or leave the species out of the propellant."},
    {"SP02", FlagWord::SP, 1u << 2, Severity::Warning,
     "SP02 - One of the species used in last calculation was at a temperature over its Cp definition range",
     "A species of the last calculation reached a temperature above the highest temperature of its Cp fit. Its Cp was held at the value at the end of the fit (constant Cp above it), so its enthalpy and entropy there are only approximate. If the species matters at that temperature, import a fit that covers it or leave the species out of the propellant."},
    {"SP03", FlagWord::SP, 1u << 3, Severity::Warning,
     "SP03 - One of the species used in last calculation was at a temperature under its viscosity definition range",
     "A species of the last calculation reached a temperature below the range of its viscosity fit. The fit of its lowest interval was used outside its range, so the viscosity, and the Prandtl number and heat-transfer coefficient derived from it, are only approximate. Import transport data that cover that temperature if these results matter."},
    {"SP04", FlagWord::SP, 1u << 4, Severity::Warning,
     "SP04 - One of the species used in last calculation was at a temperature over its viscosity definition range",
     "A species of the last calculation reached a temperature above the range of its viscosity fit. The fit of its highest interval was used outside its range, so the viscosity, and the Prandtl number and heat-transfer coefficient derived from it, are only approximate. Import transport data that cover that temperature if these results matter."},
    {"SP05", FlagWord::SP, 1u << 5, Severity::Warning,
     "SP05 - One of the species used in last calculation was at a temperature under its conductivity definition range",
     "A species of the last calculation reached a temperature below the range of its conductivity fit. The fit of its lowest interval was used outside its range, so the conductivity and the Prandtl number are only approximate. Import transport data that cover that temperature if these results matter."},
    {"SP06", FlagWord::SP, 1u << 6, Severity::Warning,
     "SP06 - One of the species used in last calculation was at a temperature over its conductivity definition range",
     "A species of the last calculation reached a temperature above the range of its conductivity fit. The fit of its highest interval was used outside its range, so the conductivity and the Prandtl number are only approximate. Import transport data that cover that temperature if these results matter."},
    {"SP07", FlagWord::SP, 1u << 7, Severity::Warning,
     "SP07 - One of the species used in last calculation had no viscosity defined, but computing it was attempted",
     "Transport properties were asked for, but a species of the last calculation has no viscosity data. That species was left out of the mixture viscosity. Import its transport data (a NASA transport file) through the database browser, or switch off the calculation of transport properties."},
    {"SP08", FlagWord::SP, 1u << 8, Severity::Warning,
     "SP08 - One of the species used in last calculation had no conductivity defined, but computing it was attempted",
     "Transport properties were asked for, but a species of the last calculation has no conductivity data. That species was left out of the mixture conductivity. Import its transport data (a NASA transport file) through the database browser, or switch off the calculation of transport properties."},
    {"SP09", FlagWord::SP, 1u << 9, Severity::Warning,
     "SP09 - One of the species used in last calculation was only defined for a single temperature",
     "A species of the last calculation is defined at a single temperature only (it has no Cp intervals), so its Cp was taken as zero and its enthalpy as its heat of formation at every temperature. The results are right only while the species stays near that temperature. Use a species with a full temperature range where one exists."},
    {"SP10", FlagWord::SP, 1u << 10, Severity::Warning,
     "SP10 - Reached maximum number of iterations for equilibrium calculation",
     "Reached maximum number of iterations for equilibrium calculation. This may happen if the maximum iterations are limited to a very low amount or if the mixture is bad-behaved and has convergence problems (specially if a lot of condensed species are involved)."},
    {"SP11", FlagWord::SP, 1u << 11, Severity::Warning,
     "SP11 - Transport properties for mixture were attempted to be computed, but no specie has transport properties defined",
     "Transport properties were asked for, but no species of the mixture has transport data, so viscosity, conductivity and Prandtl number could not be computed. Import a NASA transport data file through the database browser, or switch off the calculation of transport properties."},
    {"SP12", FlagWord::SP, 1u << 12, Severity::Warning,
     "SP12 - Reached maximum number of iterations for ion balance in equilirbium calculation",
     "The iteration that balances the positive and negative ions of an equilibrium calculation reached its limit ('Maximum number of iterations for ion balance convergence' on the Chemical equilibrium page of the Preferences) without converging. The amounts of the ions may be inaccurate. Raise that limit, or leave the ions out of the propellant if they are not needed."},
    {"SP13", FlagWord::SP, 1u << 13, Severity::Warning,
     "SP13 - One or more reactions had efficiencies for a third body not present in the mixture",
     "One or more reactions had efficiencies for a third body not present in the mixture. This supposes no problem, said species will simply not be considered since they are not present in the mixture."},
    {"SP14", FlagWord::SP, 1u << 14, Severity::Warning,
     "SP14 - Species compositions were reset during equilibrium calculations in order to reintroduce an atom in the mixture",
     "During an equilibrium calculation an element of the reactants was left in no species present, so the absent gaseous species were given a small amount again ('Specie composition at forced reset' on the Chemical equilibrium page of the Preferences) and the calculation went on. This usually costs only iterations. If it happens often, check that the selected species can carry every element of the reactants."},
    {"SP15", FlagWord::SP, 1u << 15, Severity::Warning,
     "SP15 - Computation of equilibrium conductivity failed, frozen value given instead.",
     "The reacting (equilibrium) part of the thermal conductivity could not be computed, so the frozen conductivity was given instead. For a reacting gas this underestimates the conductivity, and the Prandtl number and heat-transfer coefficient follow it. No action is needed unless these results matter."},
    {"SP16", FlagWord::SP, 1u << 16, Severity::Warning,
     "SP16 - Computation of equilibrium gaseous cp failed, frozen value used in Pr computations.",
     "The equilibrium Cp of the gas could not be computed for the Prandtl number, so the frozen Cp was used there. The Prandtl number and the heat-transfer coefficient are then only approximate. No action is needed unless these results matter."},
    {"SP17", FlagWord::SP, 1u << 17, Severity::Warning,
     "SP17 - Transport properties for mixture were computed leaving out species without transport properties defined, which made more than 1% of the gas",
     "The transport properties of the mixture were computed without the species that have no transport data, and those species made up more than 1% of the gas. Viscosity, conductivity and Prandtl number are therefore only approximate. Import transport data for those species, or leave them out of the propellant."},
    {"ODE00", FlagWord::ODE, 1u << 0, Severity::Warning,
     "ODE00 - Maximum number of iterations for throat calculation reached",
     "The search for the throat (the station where the flow reaches the speed of sound) reached its limit ('Maximum iterations for throat convergence' on the ODE page of the Preferences) without meeting 'Tolerance for throat convergence'. The last estimate was kept, so the throat conditions, mass flow and c* may be inaccurate. Raise the limit or loosen the tolerance and run again."},
    {"ODE01", FlagWord::ODE, 1u << 1, Severity::Warning,
     "ODE01 - Maximum number of iterations for nozzle point pressure convergence reached",
     "At one or more nozzle stations the pressure that matches the station's area did not converge within 'Maximum iterations for pressure convergence' (ODE page of the Preferences). The last estimate was kept at those stations. Raise the limit, loosen 'Tolerance for pressure convergence', or use more points along the nozzle."},
    {"ODE02", FlagWord::ODE, 1u << 2, Severity::Warning,
     "ODE02 - Maximum number of iterations for frozen temperature calculation reached",
     "The frozen-flow temperature of one or more stations, found from the entropy of the chamber, did not converge within 'Maximum iterations for temperature convergence' (ODE page of the Preferences). The last estimate was used. Raise the limit or loosen 'Tolerance for temperature convergence (frozen flow)'."},
    {"ODE03", FlagWord::ODE, 1u << 3, Severity::Warning,
     "ODE03 - Maximum number of iterations for frozen throat calculation reached",
     "The throat of a frozen-flow calculation did not converge within 'Maximum iterations for frozen throat convergence' (ODE page of the Preferences). The last estimate was kept, so the results after the freezing station may be inaccurate. Raise the limit, or move the freezing station."},
    {"ODE04", FlagWord::ODE, 1u << 4, Severity::Warning,
     "ODE04 - Maximum number of iterations for FAC initial conditions reached",
     "The initial conditions of the finite-area combustor could not be found: the iteration reached 'Maximum number of iterations for FAC Pinf convergence' (ODE page of the Preferences), or the chamber is not wider than the throat, or the injector pressure is not positive. The results of the finite-area combustor cannot be trusted. Check the contraction ratio of the nozzle and the chamber pressure, or raise the limit."},
    {"ODE05", FlagWord::ODE, 1u << 5, Severity::Critical,
     "ODE05 - Calculation ended without a usable result",
     "The calculation stopped without results that could be shown, for a reason that no other code names (for instance a nozzle station or a chamber whose flow could not be solved, or a grain of fewer than two burn-back points). The run was not kept. Check the nozzle, the grain and the chamber conditions of the run and start it again."},
    {"ODE06", FlagWord::ODE, 1u << 6, Severity::Critical,
     "ODE06 - Calculation results were not finite or outside their physical range",
     "The calculation ended, but some of its figures cannot belong to a real engine: a value that is not a number or is infinite, a chamber pressure outside 1 Pa to 1e10 Pa (also at any burning point of a grain run), a chamber temperature under 200 K, no mass flow or c*, or a burn time that is not positive. The run was not kept. Check the chamber and ambient pressures, the nozzle and the grain of the run: a grain that produces far too much or too little gas for the throat of the nozzle gives such chamber pressures."},
    {"ODE07", FlagWord::ODE, 1u << 7, Severity::Critical,
     "ODE07 - Chamber pressure could not be balanced at a burning point of the grain",
     "At one or more burning points of a grain run no chamber pressure was found at which the nozzle passes the gas the grain produces (V02 is raised as well), or no point of the grain burns above the ambient pressure. A grain run is kept only when every point balances until the burn ends (where the burning area is used up, or the chamber would fall to the ambient pressure), so the run was not kept. The burn law may have no burn rate at those pressures (a gap between its intervals) or no steady balance (an exponent n of 1 or more), the throat may be far too large or too small for the grain, or 'Maximum number of iterations for chamber pressure convergence' (Grain Tab page of the Preferences) may be too low. Check the Vieille intervals of the propellant, the nozzle and the grain, then run again."},
    {"ODE08", FlagWord::ODE, 1u << 8, Severity::Critical,
     "ODE08 - Species data do not reach the temperature of last calculation, which lay far above the highest temperature of their Cp fits",
     "The equilibrium of the last calculation lay at more than 1.5 times the highest temperature that the Cp fits of its species reach (NASA fits end at 6000 K or 20000 K). Above the end of its fit a species keeps the Cp it has there: a fair estimate a little beyond it (SP02 is raised then), but nothing the data support far beyond it, so the run was not kept. Such temperatures come from a heat of formation far too large, most often a reactant whose heat of formation was stored in the wrong unit. Check the heats of formation of the propellant's reactants in the database browser, or import species data that cover the temperature."},
    {"ODK00", FlagWord::ODK, 1u << 0, Severity::Critical,
     "ODK00 - Error during initialization of differential equations solver",
     "Failure during initialization of the differential equations solver (CVodes). This prevents the solver from functioning and the ODK calculation is aborted. There is no way to solve it, a bug report must be sent to the developer."},
    {"ODK01", FlagWord::ODK, 1u << 1, Severity::Critical,
     "ODK01 - Error during calculations of differential equations solver",
     "The differential equations solver (CVodes) failed while integrating the kinetic flow along the nozzle, for instance because its step became too small. The kinetic calculation was aborted and its result is not kept. Try other values of 'Differential equation solver relative tolerance' and 'absolute tolerance' on the ODK page of the Preferences, fewer reactions, or a smoother nozzle contour."},
    {"ODK02", FlagWord::ODK, 1u << 2, Severity::Critical,
     "ODK02 - Error during closure of differential equations solver",
     "The differential equations solver (CVodes) reported an error while it was being closed at the end of the kinetic calculation. The result of that calculation is not kept. This should not happen: please send a bug report to the developer with the propellant and nozzle used."},
    {"ODK03", FlagWord::ODK, 1u << 3, Severity::Warning,
     "ODK03 - Invalid point at which calculation changes from given area to given pressure",
     "No station of the converging part matched the point where the kinetic calculation changes from given area to given pressure ('Area relation at which throat iteration starts' on the ODK page of the Preferences). The station just before the throat was used instead. Check that value against the contraction ratio of the nozzle, or use more points near the throat."},
    {"ODK04", FlagWord::ODK, 1u << 4, Severity::Warning,
     "ODK04 - Invalid point at which calculation changes from given pressure back to given area",
     "No station of the diverging part matched the point where the kinetic calculation changes from given pressure back to given area ('Area relation at which throat iteration ends' on the ODK page of the Preferences). The station just after the throat was used instead. Check that value against the area ratios of the nozzle, or use more points near the throat."},
    {"ODK05", FlagWord::ODK, 1u << 5, Severity::Warning,
     "ODK05 - Reached maximum number of iterations for global convergence of ODK problem",
     "The global iteration of the kinetic problem (its initial conditions) reached 'Maximum iterations for initial conditions convergence' (ODK page of the Preferences) without converging. The last iterate was kept, so the results may be inaccurate. Raise the limit or loosen the tolerances of the ODK page."},
    {"ODK06", FlagWord::ODK, 1u << 6, Severity::Warning,
     "ODK06 - Reached maximum number of iterations for throat convergence of ODK problem",
     "After 'Maximum iterations for throat convergence' (ODK page of the Preferences), the kinetic flow still reached its smallest area, its sonic point, further from the throat station than 'Tolerance for throat position convergence' (a share of the station spacing there). The results were kept, but the state shown at the throat station is not quite the sonic one (its pressure and Mach number are off), and the flow next to the throat may be slightly inaccurate. Raise the limit or loosen the tolerance."},
    {"ODK07", FlagWord::ODK, 1u << 7, Severity::Warning,
     "ODK07 - Reached maximum number of iterations for near-throat points convergence in ODK",
     "The stations near the throat of the kinetic problem did not converge within 'Maximum iterations for near-throat points convergence' (ODK page of the Preferences) to 'Tolerance for near-throat points convergence'. The last estimates were kept at those stations. Raise the limit or loosen the tolerance."},
    {"ODK08", FlagWord::ODK, 1u << 8, Severity::Warning,
     "ODK08 - Reached maximum number of iterations for mass-flow convergence in ODK",
     "The mass flow of the kinetic problem did not converge within 'Maximum iterations for mass flow convergence' (ODK page of the Preferences). The last estimate was kept, so thrust and specific impulse may be inaccurate. Raise the limit and run again."},
    {"V00", FlagWord::V, 1u << 0, Severity::Warning,
     "V00 - Pressure under definition of Vielle's parameters",
     "During a grain calculation the chamber pressure went below the lowest pressure of the propellant's Vieille intervals (burn rate a times p to the power n). Below them the coefficients of the lowest interval were used; between two intervals no burn rate is defined and that instant could not be computed. Extend the intervals of the propellant on the propellant tab to cover the pressures of the run."},
    {"V01", FlagWord::V, 1u << 1, Severity::Warning,
     "V01 - Pressure over definition of Vielle's parameters",
     "During a grain calculation the chamber pressure went above the highest pressure of the propellant's Vieille intervals (burn rate a times p to the power n). The coefficients of the highest interval were used there, so the burn rate is extrapolated. Extend the intervals of the propellant on the propellant tab to cover the pressures of the run."},
    {"V02", FlagWord::V, 1u << 2, Severity::Warning,
     "V02 - Maximum number of iterations for pressure calculations reached",
     "The chamber pressure of a grain calculation, where the gas produced by the burning grain balances the flow through the throat, did not converge within 'Maximum number of iterations for chamber pressure convergence' (Grain Tab page of the Preferences), or the burn law of the propellant cannot give one. Check the Vieille intervals of the propellant, raise the limit, loosen 'Tolerance for chamber pressure convergence' or give a better 'Initial pressure estimate'."},
    {"OPT00", FlagWord::V, 1u << 3, Severity::Warning,
     "OPT00 - Maximum number of iterations for optimization reached",
     "A nozzle optimisation reached 'Maximum number of iterations for optimization' (Nozzle Tab page of the Preferences) before its target was met within 'Tolerance for target value in optimization'. The optimisation stopped without reaching its target. Raise the limit or loosen the tolerance and run it again."},
    {"OPT01", FlagWord::V, 1u << 4, Severity::Warning,
     "OPT01 - Early exit from optimization procedure",
     "A nozzle optimisation ended early because it could not go on: the nozzle, the grain or the burn law cannot give the target (for instance no usable burn-back curve, no ambient pressure, or a chamber pressure that is not a number). The optimisation stopped without a result. Check the target, the grain and the propellant's Vieille intervals and run it again."},
    {"U", FlagWord::Unit, 1u << 0, Severity::Critical,
     "U - A unit conversion failed, unit not defined in program",
     "A unit conversion failed, unit not defined in program. This error only happens if the user has tampered with the save files and manually changed a value. If it is not the case, please file a bug report to the developer."},
    {"L00", FlagWord::L, 1u << 0, Severity::Critical,
     "L00 - All considered species have the same element ratio as that of the reactants",
     "The equilibrium of the propellant cannot be set up: every selected species has the same ratio of elements as the reactants, so the composition has nothing to vary. The calculation was not run. Select at least one species with a different ratio of elements on the propellant tab."},
    {"L01", FlagWord::L, 1u << 1, Severity::Critical,
     "L01 - At least one condensed specie's elements are a linear combination of the others",
     "The elements of at least one condensed species are a linear combination of those of the other condensed species, so the equilibrium system is singular. The calculation was stopped. Remove that condensed species (or one of those it duplicates) from the selected species."},
    {"L02", FlagWord::L, 1u << 2, Severity::Critical,
     "L02 - No gaseous species were included in the calculation",
     "No species in gaseous phase was selected for the propellant, and the flow through the nozzle needs a gas. The calculation was not run. Select at least one gaseous species on the propellant tab."},
    {"L03", FlagWord::L, 1u << 3, Severity::Critical,
     "L03 - At least one positive and one negative ion must be considered (or none at all)",
     "Ions of one sign only were selected. The charge balance needs at least one positive and one negative ion (the electron counts as a negative one), or none at all. The calculation was not run. Add ions of the other sign or remove the ions."},
    {"L04", FlagWord::L, 1u << 4, Severity::Critical,
     "L04 - One of the species present in the propellant definition was not found in the database",
     "A species named in the stored propellant is not in the species file in use (it was deleted or renamed, or another species file was switched in). The propellant could not be loaded and runs with it are refused. Import or add the species again, or open the propellant on the propellant tab, select its species again and save it."},
    {"L05", FlagWord::L, 1u << 5, Severity::Critical,
     "L05 - One of the reactants present in the propellant definition was not found in the database",
     "A reactant named in the stored propellant is not in the reactants file in use (it was deleted or renamed, or another reactants file was switched in). The propellant could not be loaded and runs with it are refused. Add the reactant again, or open the propellant on the propellant tab, replace the reactant and save it."},
    {"L06", FlagWord::L, 1u << 6, Severity::Critical,
     "L06 - One of the reactions present in the propellant definition was not found in the database",
     "A reaction named in the stored propellant is not in the kinetics file in use (it was deleted, or another kinetics file was switched in). The propellant could not be loaded and runs with it are refused. Import the mechanism again, or open the propellant on the propellant tab, select its reactions again and save it."},
    {"L07", FlagWord::L, 1u << 7, Severity::Critical,
     "L07 - Propellant load failed for an undetermined reason (probably a file could not be accessed or was corrupted)",
     "Propellant load failed for an undetermined reason (probably a file could not be accessed or was corrupted), or a species or reactant of the propellant breaks a rule of the species and reactant editor (its box names the entry and the rule). Runs with the propellant are refused. Check the propellants file (File, Change data files) and save the propellant again from the propellant tab, or correct the entry in its database window."},
    {"L08", FlagWord::L, 1u << 8, Severity::Critical,
     "L08 - Nozzle load failed for an undetermined reason (probably a file could not be accessed or was corrupted)",
     "Nozzle load failed for an undetermined reason (probably a file could not be accessed or was corrupted), or the nozzle gives stations no run can compute (a diameter or length below 1 micrometre or beyond 1 km, or one that is not a number). Runs with the nozzle are refused. Check the nozzles file, or draw the nozzle again on the nozzle tab and save it."},
    {"L09", FlagWord::L, 1u << 9, Severity::Critical,
     "L09 - Grain load failed for an undetermined reason (probably a file could not be accessed or was corrupted)",
     "Grain load failed for an undetermined reason (probably a file could not be accessed or was corrupted), or the grain is one no run can compute (a diameter, length or web below 1 micrometre or beyond 1 km, more than 1000 charges or 100 star points, or a burn-back curve without a burning surface at ignition, with areas that are not numbers or negative, or that burns again after burning out). Runs with the grain are refused. Check the grains file, or define the grain again on the grain tab and save it: the tab names the value out of range."},
    {"F00", FlagWord::F, 1u << 0, Severity::Warning,
     "F00 - Species file could not be found at the location given in preferences",
     "The Species file named in the preferences was not found, so the file at the default location (the Data folder beside the program) is used instead, and the preferences were changed to name it. If the file was moved or renamed, choose it again with File, Change data files, Species file."},
    {"F01", FlagWord::F, 1u << 1, Severity::Critical,
     "F01 - Species file could not be found at the default location",
     "There was no Species file at the default location (the Data folder beside the program), so an empty one was created there; no species are available until they are imported or added in the database browser. This is normal at the first start. To use a file kept elsewhere, choose it with File, Change data files, Species file."},
    {"F02", FlagWord::F, 1u << 2, Severity::Warning,
     "F02 - Reactants file could not be found at the location given in preferences",
     "The Reactants file named in the preferences was not found, so the file at the default location (the Data folder beside the program) is used instead, and the preferences were changed to name it. If the file was moved or renamed, choose it again with File, Change data files, Reactants file."},
    {"F03", FlagWord::F, 1u << 3, Severity::Critical,
     "F03 - Reactants file could not be found at the default location",
     "There was no Reactants file at the default location (the Data folder beside the program), so an empty one was created there; no reactants are available until they are added in the database browser. This is normal at the first start. To use a file kept elsewhere, choose it with File, Change data files, Reactants file."},
    {"F04", FlagWord::F, 1u << 4, Severity::Warning,
     "F04 - Kinetics file could not be found at the location given in preferences",
     "The Kinetics file named in the preferences was not found, so the file at the default location (the Data folder beside the program) is used instead, and the preferences were changed to name it. If the file was moved or renamed, choose it again with File, Change data files, Kinetics file."},
    {"F05", FlagWord::F, 1u << 5, Severity::Critical,
     "F05 - Kinetics file could not be found at the default location",
     "There was no Kinetics file at the default location (the Data folder beside the program), so an empty one was created there; no reactions are available until a mechanism is imported or reactions are added in the database browser. This is normal at the first start. To use a file kept elsewhere, choose it with File, Change data files, Kinetics file."},
    {"F06", FlagWord::F, 1u << 6, Severity::Warning,
     "F06 - Propellants file could not be found at the location given in preferences",
     "The Propellants file named in the preferences was not found, so the file at the default location (the Data folder beside the program) is used instead, and the preferences were changed to name it. If the file was moved or renamed, choose it again with File, Change data files, Propellants file."},
    {"F07", FlagWord::F, 1u << 7, Severity::Critical,
     "F07 - Propellants file could not be found at the default location",
     "There was no Propellants file at the default location (the Data folder beside the program), so an empty one was created there; no stored propellants are listed until one is saved on the propellant tab. This is normal at the first start. To use a file kept elsewhere, choose it with File, Change data files, Propellants file."},
    {"F08", FlagWord::F, 1u << 8, Severity::Warning,
     "F08 - Nozzles file could not be found at the location given in preferences",
     "The Nozzles file named in the preferences was not found, so the file at the default location (the Data folder beside the program) is used instead, and the preferences were changed to name it. If the file was moved or renamed, choose it again with File, Change data files, Nozzle file."},
    {"F09", FlagWord::F, 1u << 9, Severity::Critical,
     "F09 - Nozzles file could not be found at the default location",
     "There was no Nozzles file at the default location (the Data folder beside the program), so an empty one was created there; no stored nozzles are listed until one is saved on the nozzle tab. This is normal at the first start. To use a file kept elsewhere, choose it with File, Change data files, Nozzle file."},
    {"F10", FlagWord::F, 1u << 10, Severity::Warning,
     "F10 - Grains file could not be found at the location given in preferences",
     "The Grains file named in the preferences was not found, so the file at the default location (the Data folder beside the program) is used instead, and the preferences were changed to name it. If the file was moved or renamed, choose it again with File, Change data files, Grain geometry file."},
    {"F11", FlagWord::F, 1u << 11, Severity::Critical,
     "F11 - Grains file could not be found at the default location",
     "There was no Grains file at the default location (the Data folder beside the program), so an empty one was created there; no stored grains are listed until one is saved on the grain tab. This is normal at the first start. To use a file kept elsewhere, choose it with File, Change data files, Grain geometry file."},
    {"F12", FlagWord::F, 1u << 12, Severity::Warning,
     "F12 - Configurations file could not be found at the location given in preferences",
     "The Configurations file named in the preferences was not found, so the file at the default location (the Data folder beside the program) is used instead, and the preferences were changed to name it. If the file was moved or renamed, choose it again with File, Change data files, Configurations file."},
    {"F13", FlagWord::F, 1u << 13, Severity::Critical,
     "F13 - Configurations file could not be found at the default location",
     "There was no Configurations file at the default location (the Data folder beside the program), so an empty one was created there; no stored configurations are listed until one is saved on the calculation tab. This is normal at the first start. To use a file kept elsewhere, choose it with File, Change data files, Configurations file."},
    {"F14", FlagWord::F, 1u << 14, Severity::Warning,
     "F14 - Preferences file could not be found at the location given in default preferences",
     "The preferences file named in the default preferences file (Data/Preferences.json beside the program) was not found, so the default preferences file is used instead and its redirect was changed to name itself. If the file was moved or renamed, choose it again with File, Change data files."},
    {"F15", FlagWord::F, 1u << 15, Severity::Critical,
     "F15 - Preferences file could not be found at the default location",
     "The default preferences file (Data/Preferences.json beside the program) was not found, so it was created with every preference at its default value. This is normal at the first start."},
    {"F16", FlagWord::F, 1u << 16, Severity::Warning,
     "F16 - Species file at the location given in preferences was corrupted",
     "The Species file named in the preferences could not be read as a data file, or held species that lacked required data (faulty species are deleted only with your consent). A file whose text could not be read was left exactly as it is and the program goes on without its species; repair it with a text editor or restore a copy, then restart the program or choose it again with File, Change data files, Species file."},
    {"F17", FlagWord::F, 1u << 17, Severity::Critical,
     "F17 - Species file at the default location was corrupted",
     "The Species file at the default location (the Data folder beside the program) could not be read as a data file, or held species that lacked required data (faulty species are deleted only with your consent). A file whose text could not be read was left exactly as it is and the program goes on without its species; repair it with a text editor or restore a copy, then restart the program or choose it again with File, Change data files, Species file."},
    {"F18", FlagWord::F, 1u << 18, Severity::Warning,
     "F18 - Reactants file at the location given in preferences was corrupted",
     "The Reactants file named in the preferences could not be read as a data file of named items. A file whose text could not be read was left exactly as it is and the program goes on without its reactants; repair it with a text editor or restore a copy, then restart the program or choose it again with File, Change data files, Reactants file."},
    {"F19", FlagWord::F, 1u << 19, Severity::Critical,
     "F19 - Reactants file at the default location was corrupted",
     "The Reactants file at the default location (the Data folder beside the program) could not be read as a data file of named items. A file whose text could not be read was left exactly as it is and the program goes on without its reactants; repair it with a text editor or restore a copy, then restart the program or choose it again with File, Change data files, Reactants file."},
    {"F20", FlagWord::F, 1u << 20, Severity::Warning,
     "F20 - Kinetics file at the location given in preferences was corrupted",
     "The Kinetics file named in the preferences could not be read as a data file of named items. A file whose text could not be read was left exactly as it is and the program goes on without its reactions; repair it with a text editor or restore a copy, then restart the program or choose it again with File, Change data files, Kinetics file."},
    {"F21", FlagWord::F, 1u << 21, Severity::Critical,
     "F21 - Kinetics file at the default location was corrupted",
     "The Kinetics file at the default location (the Data folder beside the program) could not be read as a data file of named items. A file whose text could not be read was left exactly as it is and the program goes on without its reactions; repair it with a text editor or restore a copy, then restart the program or choose it again with File, Change data files, Kinetics file."},
    {"F22", FlagWord::F, 1u << 22, Severity::Warning,
     "F22 - Propellants file at the location given in preferences was corrupted",
     "The Propellants file named in the preferences could not be read as a data file of named items. A file whose text could not be read was left exactly as it is and the program goes on without its propellants; repair it with a text editor or restore a copy, then restart the program or choose it again with File, Change data files, Propellants file."},
    {"F23", FlagWord::F, 1u << 23, Severity::Critical,
     "F23 - Propellants file at the default location was corrupted",
     "The Propellants file at the default location (the Data folder beside the program) could not be read as a data file of named items. A file whose text could not be read was left exactly as it is and the program goes on without its propellants; repair it with a text editor or restore a copy, then restart the program or choose it again with File, Change data files, Propellants file."},
    {"F24", FlagWord::F, 1u << 24, Severity::Warning,
     "F24 - Nozzles file at the location given in preferences was corrupted",
     "The Nozzles file named in the preferences could not be read as a data file of named items. A file whose text could not be read was left exactly as it is and the program goes on without its nozzles; repair it with a text editor or restore a copy, then restart the program or choose it again with File, Change data files, Nozzle file."},
    {"F25", FlagWord::F, 1u << 25, Severity::Critical,
     "F25 - Nozzles file at the default location was corrupted",
     "The Nozzles file at the default location (the Data folder beside the program) could not be read as a data file of named items. A file whose text could not be read was left exactly as it is and the program goes on without its nozzles; repair it with a text editor or restore a copy, then restart the program or choose it again with File, Change data files, Nozzle file."},
    {"F26", FlagWord::F, 1u << 26, Severity::Warning,
     "F26 - Grains file at the location given in preferences was corrupted",
     "The Grains file named in the preferences could not be read as a data file of named items. A file whose text could not be read was left exactly as it is and the program goes on without its grains; repair it with a text editor or restore a copy, then restart the program or choose it again with File, Change data files, Grain geometry file."},
    {"F27", FlagWord::F, 1u << 27, Severity::Critical,
     "F27 - Grains file at the default location was corrupted",
     "The Grains file at the default location (the Data folder beside the program) could not be read as a data file of named items. A file whose text could not be read was left exactly as it is and the program goes on without its grains; repair it with a text editor or restore a copy, then restart the program or choose it again with File, Change data files, Grain geometry file."},
    {"F28", FlagWord::F, 1u << 28, Severity::Warning,
     "F28 - Configurations file at the location given in preferences was corrupted",
     "The Configurations file named in the preferences could not be read as a data file of named items. A file whose text could not be read was left exactly as it is and the program goes on without its configurations; repair it with a text editor or restore a copy, then restart the program or choose it again with File, Change data files, Configurations file."},
    {"F29", FlagWord::F, 1u << 29, Severity::Critical,
     "F29 - Configurations file at the default location was corrupted",
     "The Configurations file at the default location (the Data folder beside the program) could not be read as a data file of named items. A file whose text could not be read was left exactly as it is and the program goes on without its configurations; repair it with a text editor or restore a copy, then restart the program or choose it again with File, Change data files, Configurations file."},
    {"F30", FlagWord::F, 1u << 30, Severity::Warning,
     "F30 - Preferences file at the location given in default preferences was corrupted, affected items will be returned to their default values",
     "The preferences file named in the default preferences file could not be read, or some of its values were missing, of the wrong type or outside their limits. Those values were returned to their defaults. A file whose text could not be read is left as it is and nothing is saved into it until it is repaired; otherwise correct the values in the Preferences dialog."},
    {"F31", FlagWord::F, 1u << 31, Severity::Critical,
     "F31 - Preferences file at the default location was corrupted, affected items will be returned to their default values",
     "The default preferences file (Data/Preferences.json beside the program) could not be read, or some of its values were missing, of the wrong type or outside their limits. Those values were returned to their defaults. A file whose text could not be read is left as it is and nothing is saved into it until it is repaired; otherwise correct the values in the Preferences dialog."},
}};
// clang-format on

#include "core/flags.h"

namespace {

std::atomic<uint32_t>* wordOf(FlagWord word)
{
    switch (word) {
    case FlagWord::SP: return &flagsSP;
    case FlagWord::ODE: return &flagsODE;
    case FlagWord::ODK: return &flagsODK;
    case FlagWord::V: return &flagsV;
    case FlagWord::L: return &flagsL;
    case FlagWord::F: return &flagsF;
    case FlagWord::Unit: break;
    }
    return nullptr;
}

// Critical part of the kinetic-flow word; the rest of it are warnings.
constexpr uint32_t criticalODK = 0x7;
// Critical part of the nozzle-flow word (ODE05..ODE08: a run that is no result).
constexpr uint32_t criticalODE = 0x1E0;
// File codes: even bits are warnings, odd bits critical.
constexpr uint32_t criticalF = 0xAAAAAAAAu;
constexpr uint32_t warningF = 0x55555555u;

} // namespace

const FlagCode* findFlagCode(std::string_view code)
{
    for (const FlagCode& entry : flagCodes)
        if (code == entry.code)
            return &entry;
    return nullptr;
}

uint32_t flagWordValue(FlagWord word)
{
    if (word == FlagWord::Unit)
        return unitFlag.load(std::memory_order_relaxed) != 0 ? 1u : 0u;
    return wordOf(word)->load(std::memory_order_relaxed);
}

bool codeRaised(const FlagCode& code)
{
    return (flagWordValue(code.word) & code.mask) != 0;
}

std::vector<const FlagCode*> raisedFlagCodes()
{
    std::vector<const FlagCode*> raised;
    for (const FlagCode& code : flagCodes)
        if (codeRaised(code))
            raised.push_back(&code);
    return raised;
}

void raiseCode(const FlagCode& code)
{
    if (code.word == FlagWord::Unit)
        unitFlag.fetch_or(1, std::memory_order_relaxed);
    else
        raiseFlag(*wordOf(code.word), code.mask);
}

void clearWarnings()
{
    flagsSP.fetch_and(0, std::memory_order_relaxed);
    flagsODE.fetch_and(criticalODE, std::memory_order_relaxed);
    flagsV.fetch_and(0, std::memory_order_relaxed);
    flagsODK.fetch_and(criticalODK, std::memory_order_relaxed);
    flagsF.fetch_and(criticalF, std::memory_order_relaxed);
}

void clearCritical()
{
    flagsL.fetch_and(0, std::memory_order_relaxed);
    unitFlag.fetch_and(0, std::memory_order_relaxed);
    flagsODE.fetch_and(~criticalODE, std::memory_order_relaxed);
    flagsODK.fetch_and(~criticalODK, std::memory_order_relaxed);
    flagsF.fetch_and(warningF, std::memory_order_relaxed);
}

void clearRunFlags()
{
    flagsSP.fetch_and(0, std::memory_order_relaxed);
    flagsODE.fetch_and(0, std::memory_order_relaxed);
    flagsODK.fetch_and(0, std::memory_order_relaxed);
    flagsV.fetch_and(0, std::memory_order_relaxed);
}
