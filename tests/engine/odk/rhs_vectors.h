#pragma once
// A state of the kinetic right-hand side with room for its derivative: the species
// amounts, then u, T, rho and the pressure (area given) or the area (pressure given).
// Owns both vectors and their context and frees them on every way out.
#include <cstddef>
#include <vector>

#include <nvector/nvector_serial.h>
#include <sundials/sundials_context.h>

namespace odk_test {

class RhsVectors {
public:
    explicit RhsVectors(std::size_t species) : species_(species)
    {
        SUNContext_Create(nullptr, &context_);
        y = N_VNew_Serial(static_cast<sunindextype>(species + 4), context_);
        ydot = N_VNew_Serial(static_cast<sunindextype>(species + 4), context_);
    }
    ~RhsVectors()
    {
        N_VDestroy(y);
        N_VDestroy(ydot);
        SUNContext_Free(&context_);
    }
    RhsVectors(const RhsVectors&) = delete;
    RhsVectors& operator=(const RhsVectors&) = delete;

    // The state: one amount per species, then u, T, rho and the last component.
    void set(const std::vector<double>& moles, double u, double T, double rho, double last)
    {
        double* v = state();
        for (std::size_t j = 0; j < species_; ++j)
            v[j] = moles[j];
        v[species_] = u;
        v[species_ + 1] = T;
        v[species_ + 2] = rho;
        v[species_ + 3] = last;
    }
    double* state() { return N_VGetArrayPointer(y); }
    double* derivative() { return N_VGetArrayPointer(ydot); }

    N_Vector y = nullptr;
    N_Vector ydot = nullptr;

private:
    std::size_t species_;
    SUNContext context_ = nullptr;
};

} // namespace odk_test
