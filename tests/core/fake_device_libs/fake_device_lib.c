/* Stand-ins for the vendors' device libraries: the backlight entries remember what they were
   given, so that tests can check the calls that reached them. */
static int g_percent = -1;
static int g_reserved = -1;

int FakeSetLevel(int percent, int reserved) {
    g_percent = percent;
    g_reserved = reserved;
    return 1;
}

/* Reports the level (0..6) that the last per-cent value stands for. */
int FakeGetLevel(int* level) {
    if (g_percent >= 0)
        *level = (g_percent * 6 + 50) / 100;
    return 1;
}

int FakeQuery(void) {
    return 300;
}
void FakeNothing(void) {}

/* Named, for the tests: the arguments of the last set-level call. */
int FakeLastPercent(void) {
    return g_percent;
}
int FakeLastReserved(void) {
    return g_reserved;
}
