/* Held open for a whole Wine test session. While one process with a window lives, Wine keeps its
   desktop process and services running, so each program started after it skips that start-up
   (about 1 s each). Writes "<own name>.ready" beside itself once its window exists, and waits for
   the session's end (wineserver -k). */
#include <windows.h>

int WINAPI WinMain(HINSTANCE inst, HINSTANCE prev, LPSTR cmd, int show)
{
    (void)prev; (void)cmd; (void)show;
    HWND wnd = CreateWindowExA(0, "STATIC", "vellomar keep-alive", WS_POPUP, 0, 0, 1, 1,
                               NULL, NULL, inst, NULL);
    if (!wnd)
        return 1;
    char path[MAX_PATH + 8];
    DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 1;
    lstrcatA(path, ".ready");
    HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f != INVALID_HANDLE_VALUE)
        CloseHandle(f);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
