// The fixed-capacity LU of the equilibrium systems: hand-worked systems that need row
// exchanges, residuals of larger ones against the matrix, the fallback beyond its
// capacity, and a singular system, which must end in numbers that are not finite.
#include <cmath>

#include <gtest/gtest.h>

#include "engine/small_lu.h"

namespace {

TEST(SmallLU, SolvesHandWorkedSystemsThatNeedRowExchanges)
{
    // [0 2 1; 1 1 1; 2 0 3] x = [5; 6; 13]: x = (2, 1, 3) (the first pivot is zero, so
    // the rows must be exchanged).
    Eigen::MatrixXd A(3, 3);
    A << 0, 2, 1, 1, 1, 1, 2, 0, 3;
    Eigen::VectorXd b(3), x;
    b << 5, 6, 13;
    SmallLU lu;
    lu.solve(A, b, x);
    ASSERT_EQ(x.size(), 3);
    EXPECT_NEAR(x(0), 2.0, 1e-14);
    EXPECT_NEAR(x(1), 1.0, 1e-14);
    EXPECT_NEAR(x(2), 3.0, 1e-14);

    // One unknown.
    Eigen::MatrixXd one(1, 1);
    one << 4.0;
    Eigen::VectorXd rhs(1);
    rhs << 2.0;
    lu.solve(one, rhs, x);
    EXPECT_DOUBLE_EQ(x(0), 0.5);
}

TEST(SmallLU, ResidualsOfSizesUpToAndBeyondItsCapacity)
{
    for (int n : {2, 7, 14, SmallLU::CAPACITY, SmallLU::CAPACITY + 6}) {
        SCOPED_TRACE(n);
        // Diagonally weighted but with large off-diagonal entries, sign-varying, with the
        // scales of the equilibrium systems (amounts of 1e-3 beside sums of 1e2).
        Eigen::MatrixXd A(n, n);
        for (int r = 0; r < n; ++r)
            for (int c = 0; c < n; ++c)
                A(r, c) = std::sin(1.3 * r + 0.7 * c + 0.1) * std::pow(10.0, (r + c) % 5 - 2);
        Eigen::VectorXd truth(n), x;
        for (int r = 0; r < n; ++r)
            truth(r) = std::cos(0.9 * r) * 10.0;
        const Eigen::VectorXd b = A * truth;
        SmallLU lu;
        lu.solve(A, b, x);
        ASSERT_EQ(x.size(), n);
        EXPECT_LT((A * x - b).norm(), 1e-10 * b.norm());
    }
}

TEST(SmallLU, SingularSystemGivesNumbersThatAreNotFinite)
{
    Eigen::MatrixXd A(3, 3);
    A << 1, 2, 3, 2, 4, 6, 1, 0, 1;
    Eigen::VectorXd b(3), x;
    b << 1, 1, 1;
    SmallLU lu;
    lu.solve(A, b, x);
    EXPECT_FALSE(x.allFinite());
}

} // namespace
