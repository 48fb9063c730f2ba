/* The fault the planted-DLL test looks for, on purpose: a program that imports version.dll by
   name. Its planted copy must leave its marker, or the test could not see the fault at all. */
#include <windows.h>

int main(void) {
    DWORD handle = 0;
    return GetFileVersionInfoSizeA("kernel32.dll", &handle) != 0 ? 0 : 1;
}
