#pragma once
// LU factorisation with partial (row) pivoting of the small dense systems of the
// equilibrium iteration (a few elements, condensed phases and two more unknowns), in
// fixed storage so that a solve allocates nothing. Doolittle form, column by column:
// pivot on the largest magnitude of the column (the first one on a tie), scale the
// column below it, update the trailing block (Golub & Van Loan, Matrix Computations,
// algorithm 3.4.1). A zero pivot is not divided by; the solve then gives non-finite
// numbers, which the iteration treats as a breakdown. Larger systems go to Eigen's
// partial-pivoting LU, which follows the same algorithm.
#include <array>
#include <cmath>
#include <cstddef>

#include <Eigen/Dense>

class SmallLU {
public:
    static constexpr int CAPACITY = 24;

    // Factorises the square matrix A; x = A^-1 b into solution (resized to A's order).
    void solve(const Eigen::Ref<const Eigen::MatrixXd>& A, const Eigen::Ref<const Eigen::VectorXd>& b,
               Eigen::VectorXd& solution)
    {
        const int n = static_cast<int>(A.rows());
        if (n > CAPACITY || A.cols() != n || b.size() != n) {
            fallback.compute(A);
            solution = fallback.solve(b);
            return;
        }
        solution.resize(n);
        for (int c = 0; c < n; ++c)
            for (int r = 0; r < n; ++r)
                lu[static_cast<std::size_t>(r * CAPACITY + c)] = A(r, c);
        for (int r = 0; r < n; ++r)
            x[static_cast<std::size_t>(r)] = b(r);
        // The usual orders get their own copies with the order known to the compiler,
        // which unrolls them; the operations and their order are the same.
        switch (n) {
        case 3: factorAndSubstitute<3>(); break;
        case 4: factorAndSubstitute<4>(); break;
        case 5: factorAndSubstitute<5>(); break;
        case 6: factorAndSubstitute<6>(); break;
        case 7: factorAndSubstitute<7>(); break;
        case 8: factorAndSubstitute<8>(); break;
        default: factorAndSubstitute(n); break;
        }
        for (int r = 0; r < n; ++r)
            solution(r) = x[static_cast<std::size_t>(r)];
    }

private:
    template <int N>
    void factorAndSubstitute()
    {
        factorise(N);
        substitute(N);
    }
    void factorAndSubstitute(int n)
    {
        factorise(n);
        substitute(n);
    }

    double& at(int r, int c) { return lu[static_cast<std::size_t>(r * CAPACITY + c)]; }

    __attribute__((always_inline)) void factorise(int n)
    {
        for (int k = 0; k < n; ++k) {
            int p = k;
            double biggest = std::fabs(at(k, k));
            for (int r = k + 1; r < n; ++r) {
                const double v = std::fabs(at(r, k));
                if (v > biggest) {
                    biggest = v;
                    p = r;
                }
            }
            pivot[static_cast<std::size_t>(k)] = p;
            if (biggest != 0.0) {
                if (p != k)
                    for (int c = 0; c < n; ++c)
                        std::swap(at(k, c), at(p, c));
                const double d = at(k, k);
                for (int r = k + 1; r < n; ++r)
                    at(r, k) /= d;
            }
            for (int r = k + 1; r < n; ++r) {
                const double l = at(r, k);
                for (int c = k + 1; c < n; ++c)
                    at(r, c) -= l * at(k, c);
            }
        }
    }

    __attribute__((always_inline)) void substitute(int n)
    {
        for (int k = 0; k < n; ++k) {
            const int p = pivot[static_cast<std::size_t>(k)];
            if (p != k)
                std::swap(x[static_cast<std::size_t>(k)], x[static_cast<std::size_t>(p)]);
        }
        // L y = P b (unit lower), then U x = y.
        for (int r = 1; r < n; ++r) {
            double v = x[static_cast<std::size_t>(r)];
            for (int c = 0; c < r; ++c)
                v -= at(r, c) * x[static_cast<std::size_t>(c)];
            x[static_cast<std::size_t>(r)] = v;
        }
        for (int r = n - 1; r >= 0; --r) {
            double v = x[static_cast<std::size_t>(r)];
            for (int c = r + 1; c < n; ++c)
                v -= at(r, c) * x[static_cast<std::size_t>(c)];
            x[static_cast<std::size_t>(r)] = v / at(r, r);
        }
    }

    std::array<double, CAPACITY * CAPACITY> lu{};
    std::array<double, CAPACITY> x{};
    std::array<int, CAPACITY> pivot{};
    Eigen::PartialPivLU<Eigen::MatrixXd> fallback;
};
