// power: A raised to a power, for the powers program. The base comes from the
// global A that the main module defines.
#include "powers.h"

#include <cerrno>
#include <limits>

int power(int m)
{
    // 1 and -1 never grow: their powers, negative ones included, follow from
    // the exponent alone, which also spares a loop of two billion steps.
    if (A == 1)
        return 1;
    if (A == -1)
        return m % 2 == 0 ? 1 : -1;
    // Any other base to a negative power is no whole number: a fraction, or for
    // 0 no number at all (1 / 0). Both are refused, and no division is made.
    if (m < 0) {
        errno = EDOM;
        return 0;
    }
    if (A == 0)
        return m == 0 ? 1 : 0;

    // The remaining bases leave int's range within 32 factors. A long long
    // holds every product of an int with a number in int's range.
    long long result = 1;
    for (int i = 0; i < m; ++i) {
        result *= A;
        if (result < std::numeric_limits<int>::min() || result > std::numeric_limits<int>::max()) {
            errno = ERANGE;
            return 0;
        }
    }
    return static_cast<int>(result);
}
