// Waits until it is ended from outside (at most a minute, so a failed test leaves nothing behind).
#include <windows.h>

int main()
{
    Sleep(60000);
    return 7;
}
