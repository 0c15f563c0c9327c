/* The floor of the benchmark: the smallest saver that the platform's screen-saver framework
   (libscrnsave) makes. It only paints its window black; the framework supplies the entry point,
   the full-screen or preview window, the hidden cursor and the input that ends the run. */
#include <windows.h>
#include <scrnsave.h>

LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    FillRect(dc, &paint.rcPaint, (HBRUSH)GetStockObject(BLACK_BRUSH));
    EndPaint(window, &paint);
    return 0;
  }
  return DefScreenSaverProc(window, message, wParam, lParam);
}

/* The settings dialog has nothing to set: OK or Cancel closes it. */
WINBOOL WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  (void)lParam;
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

WINBOOL WINAPI RegisterDialogClasses(HANDLE instance) {
  (void)instance;
  return TRUE;
}
