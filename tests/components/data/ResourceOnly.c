/* The test libraries carry only resources; the linker still wants one object. */
int GwShellResourceOnly(void) { return 0; }
