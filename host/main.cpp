// Program entry; the host shell fills this in.
int main() { return 0; }
