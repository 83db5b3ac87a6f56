#pragma once
// The chemical system of one propellant: product species (gaseous first, condensed
// after), reactants with their amounts, element rows, optional reactions, and the whole
// state of the equilibrium iteration, of the mixture properties and of the finite-rate
// rates. SI units, amounts in kmol per kg of propellant.
//
// The mixture shares ownership of its species and reactant records and keeps its own
// copies of the reaction records, so it stays valid however it is handed around.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <Eigen/Dense>

#include "engine/reaction.h"
#include "engine/small_lu.h"
#include "engine/species.h"
#include "engine/species_thermo_table.h"

class Mixture {
public:
    uint16_t nSpecies = 0;
    uint16_t nReactants = 0;
    uint16_t nReactions = 0;
    std::vector<std::shared_ptr<Species>> reactants;
    std::vector<std::shared_ptr<Species>> species; // internal order: gases, then condensed
    std::vector<std::string> speciesNames;
    double totalMoles = 1.0; // n, the iteration's total-moles variable
    double transportMoles = 1.0; // moles of the species with transport data
    bool phasePairActive = false;
    std::vector<double> entropyTerms; // per species, s_j/R with mixing and pressure terms
    double gasConstant = 1.0; // R n, J/(kg K)
    double enthalpy = 1.0; // J/kg
    double entropy = 1.0; // J/(kg K)
    double gasEntropySum = 1.0;
    double entropySum = 1.0;
    double gasEnthalpySum = 1.0;
    double enthalpySum = 1.0;
    double gamma = 1.0;
    double soundSpeed = 1.0;
    double cp = 1.0;
    double cv = 1.0;
    double viscosity = 1.0;
    double conductivity = 1.0;
    double prandtlCp = 1.0;
    double prandtl = 1.0;
    double density = 1.0;
    double cStar = 1.0;
    std::vector<double> productionRateValues; // per species, kmol/(m3 s)
    uint16_t nElements = 0;
    uint16_t nGas = 1;
    uint16_t systemSize = 1;
    uint16_t correctionSize = 1;
    bool fixedEnthalpy = false;
    bool chargeBalance = true;
    std::vector<std::string> elementSymbols; // electron "E" last
    std::vector<double> chemicalPotentials; // per species, mu_j/(R T)
    double enthalpyTarget = 1.0; // H0/R per kg
    double entropyTarget = 1.0; // S0/R per kg
    std::vector<uint16_t> activeCondensed;
    std::deque<uint16_t> removedCondensed;
    uint16_t phasePairHigh = 0;
    uint16_t phasePairLow = 0;
    std::vector<double> corrections;
    Eigen::VectorXd solution;
    Eigen::VectorXd previousSolution;
    std::vector<std::shared_ptr<Reaction>> reactions;
    std::vector<double> elementTargets; // b0_i
    std::vector<double> elementTotals; // b_i
    std::vector<double> gasElementTotals;
    std::vector<std::vector<double>> elementMatrix; // [row][species] a_ij
    Eigen::MatrixXd iterationMatrix;
    Eigen::VectorXd rightHandSide;
    double gasMoles = 1.0;
    double allMoles = 1.0;
    double pressure = 1.0;
    double temperature = 1.0;
    double logMoles = 1.0;
    double logTemperature = 1.0;
    double logPressureRatio = 1.0;
    Eigen::VectorXd temperatureDerivativeWork;
    Eigen::VectorXd pressureDerivativeWork;
    double dlnVdlnT = 1.0;
    double dlnVdlnP = -1.0;
    uint32_t nTransport = 0;
    std::vector<std::vector<double>> transportWork;
    std::vector<uint32_t> transportSpecies;

    // Formation reactions of the transport's reaction terms: they depend only on the
    // species involved and on the order of their amounts (which picks the components),
    // not on the state, so each is built once and reused. An entry names its species by
    // their records, so that a mixture given another species set finds none of the old
    // entries.
    struct FormationReactions {
        std::vector<const Species*> species; // the set, in the order of the rows' columns
        std::vector<int> order; // local indices, largest amount first
        Eigen::MatrixXd nu; // one row per reaction, one column per species of the set
    };
    std::vector<FormationReactions> formationReactionCache;

    // An empty mixture (propellant not loaded): raises L07; never solved.
    Mixture();
    // speciesList in the propellant's order; reactants with their moles per kg set;
    // symbols ending with "E"; reactionList null for none (the records are copied).
    Mixture(uint16_t nSpecies, uint16_t nReactants, uint16_t nElements, uint16_t nReactions,
            const std::vector<std::shared_ptr<Species>>& speciesList,
            const std::vector<std::shared_ptr<Species>>& reactantList, const std::vector<std::string>& symbols,
            const std::vector<std::shared_ptr<Reaction>>* reactionList);
    ~Mixture();

    // The composition the kinetic flow integrates, as it stands in the species' moles:
    // totalMoles and gasConstant from the gaseous moles only, and every species' fraction
    // per mole of gas (condensed species take no volume).
    void moleFractions();
    void molesFromMasses();

    // The composition of a converged equilibrium, from which a nearby solve (the next
    // chamber of a grain run) starts instead of the initial estimate.
    struct EquilibriumStart {
        std::vector<double> moles; // per species
        std::vector<double> logMoles; // per species
        double totalMoles = 1.0;
        double logMoles_ = 0.0; // ln n
        double gasMoles = 1.0;
        double allMoles = 1.0;
        std::vector<uint16_t> activeCondensed;
        bool chargeBalance = true;
        uint16_t nElements = 0;
        bool phasePairActive = false;
        uint16_t phasePairHigh = 0;
        uint16_t phasePairLow = 0;
    };

    // Chemical equilibrium. False, with ODE08, for a state far above the top of the
    // species data (physical::withinSpeciesData).
    bool solveEquilibrium(double& T, double p, bool fixedEnthalpy);
    // The state the last solve converged to (call right after a successful solve).
    EquilibriumStart convergedState() const;
    // Takes up a state of convergedState() as the start of the next solve, in place of
    // reset(); the ions come back as in every start, and no condensed phase is barred.
    void startFrom(const EquilibriumStart& start);
    void reset();
    void initialEstimate();
    void enableIons();
    void addChargeBalance();
    void resizeMatrix();
    // False when an element total stays zero after one revival (the solve then fails).
    bool assembleMatrix();
    bool applyCorrections();
    bool checkConvergence();

    // Thermodynamic properties and c*.
    void evaluateSpecies(double T);
    double enthalpyEntropy(double T);
    double frozenProperties(double T);
    // enthalpyTarget of the reactants at T. A temperature that is not a number above
    // 0 K is refused (L07 with a message) and leaves the mixture unsolvable until a
    // usable one is given; a reactant outside its fit raises SP01/SP02, which every
    // later solve keeps raised.
    double setReactantEnthalpy(double T);
    // elementTargets from the reactant amounts, then setReactantEnthalpy(T).
    void updateReactantTotals(double T);
    void derivatives();
    double equilibriumProperties(double T);
    double characteristicVelocity();

    // Transport properties (mixture_transport.cpp).
    void frozenTransport(double T, bool withPrandtl);
    void equilibriumTransport(double T, bool withPrandtl);

    // Finite-rate production rates into productionRateValues (production_rates.cpp).
    void productionRates();
    // productionRates(), then the rates' derivatives at that state: d w_j/d x_k at fixed
    // T and p (row-major, j * nSpecies + k), d w_j/dT at fixed p and x, and d w_j/dp at
    // fixed T and x; kmol/(m3 s) per unit of x, K and Pa.
    struct RateDerivatives {
        std::vector<double> moleFraction;
        std::vector<double> temperature;
        std::vector<double> pressure;
        std::vector<long double> work; // one reaction's d q/d x_k
    };
    void productionRateDerivatives(RateDerivatives& out);

private:
    // False for a mixture without its species records (the empty default mixture, whose
    // nGas is 1): the routines that walk the species then leave it as it is.
    bool hasSpeciesRecords() const { return nSpecies > 0 && nGas <= nSpecies && species.size() >= nSpecies; }
    // The condensed-phase step of the convergence check: true when the set is final.
    bool condensedStep();
    // (G/RT - sum a_ij pi_i) / M_j of condensed species j at the given element
    // potentials: negative when it should form (0 when it holds an absent element).
    double condensedCandidateValue(uint16_t j, const Eigen::VectorXd& potentials) const;
    // Rank test of the active condensed set (a held pair counts once); false, with L01
    // raised and the conflicting species reported, when the set is dependent.
    bool condensedRankTest();
    // A reactant amount a propellant can hold: a number not below zero.
    static bool usableAmount(double moles) { return std::isfinite(moles) && moles >= 0.0; }
    // Whether the reactants, as they stand, give an equilibrium problem: amounts that
    // are numbers not below zero with at least one element present, and a usable
    // reactant temperature.
    bool reactantsUsable() const;
    // The highest temperature the Cp fits of the products that can form reach, K; 0 when
    // none has a fit.
    double speciesDataTop() const;
    // Marks the species holding an element that no reactant brings (absentSpecies):
    // they can only ever have zero moles.
    void markAbsentSpecies();
    bool absent(uint16_t j) const { return j < absentSpecies.size() && absentSpecies[j] != 0; }
    // Gives the absent gases exactly zero moles (the totals follow).
    void removeAbsentSpecies();
    // Electron count of species j (0 when the element list has no electron row).
    double electronCount(uint16_t j) const { return electronRow < 0 ? 0.0 : elementMatrix[electronRow][j]; }
    bool sameComposition(uint16_t a, uint16_t b) const;
    void releasePhasePair();
    // After a breakdown: the condensed phase the last finite state favoured joins the set.
    void insertAfterBreakdown();
    // The element rows that the reactants bring but no gaseous product can hold
    // (gaslessElements): only a condensed phase can carry them.
    void findGaslessElements();
    // Each gasless element without an active condensed carrier gets one: the phase
    // defined at the present temperature with the lowest G/RT per atom of the element.
    // Without such a carrier the element's row would be empty and the system singular.
    void insertCondensedCarriers();
    // Tells the user which element ended the solve (carrierlessElement) and why, once per
    // mixture: the c* curve, the grain run's pressure search and the optimisations solve the
    // same mixture many times and would otherwise stack one box per solve.
    void reportCarrierlessElement();

    int electronRow = -1; // row of "E" in elementMatrix, -1 when there is none
    std::vector<char> absentSpecies; // per species: holds an element no reactant brings
    bool reactantTemperatureUsable = true; // the last reactant temperature given was usable
    uint32_t reactantRangeCodes = 0; // SP01/SP02 of reactants evaluated outside their fits
    bool rankTestFailed = false; // set by the rank test of the running solve
    std::vector<int> gaslessElements; // element rows only condensed products can hold
    int carrierlessElement = -1; // row that no product could carry in the last assembly
    bool carrierlessReported = false; // the user was told about a carrierless element
    double lastFiniteTemperature = 0.0; // state of the last iteration with finite numbers
    Eigen::VectorXd lastFiniteSolution;
    SmallLU luWork;
    // The species' thermo of the last evaluateSpecies, side by side.
    SpeciesThermoTable thermoTable;
    // exp(S/R - H/RT) of every species at the temperature of the last production rates.
    std::vector<long double> speciesGibbsFactors;
    std::vector<long double> inverseGibbsFactors; // their inverses
    // The arguments those exponentials were taken at, and the forward-rate exponentials
    // exp(b ln T - Ea/(R T)) per reaction with theirs (NaN: not yet taken).
    std::vector<long double> gibbsArguments;
    std::vector<long double> forwardArguments;
    std::vector<long double> forwardFactors;
    std::vector<double> speciesConcentrations; // x_j p/(R T), mol/cm3, of the last rates
    // Work of the assembly: the gases holding moles, their amounts, element rows
    // (a_ij n_j, a_ij; row-major over these gases) and thermo terms.
    void collectActiveGases();
    // The element rows of those gases and their sums (gasElementTotals).
    void gatherElementRows();
    std::vector<uint16_t> activeGases;
    std::vector<double> activeMoles;
    std::vector<double> activeElementMoles;
    std::vector<double> activeElementCounts;
    std::vector<double> activeEnthalpy;
    std::vector<double> activeEntropy;
    std::vector<double> activePotential;
};
