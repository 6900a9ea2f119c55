// hana's own header: the declarations her main module needs.
#pragma once
extern int A;
int power(int m);
