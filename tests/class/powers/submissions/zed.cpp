// A control character and a Latin-1 byte in a line the compiler quotes.
int main() { return " Müller" }
