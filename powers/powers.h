// What the two modules of powers share: the global A and the function power.
#pragma once

// The number read; power() takes it as its base. Defined in powers.cpp.
extern int A;

// Returns A raised to the power m (0 to the power 0 is 1). When there is no
// such int it sets errno and returns 0: ERANGE when the power does not fit in
// an int, EDOM when it is not a whole number (m negative, A neither 1 nor -1).
int power(int m);
