/* The part of a saver that libscrnsave.a supplies, for toolchains whose libscrnsave.a is empty
   (Debian 12's MinGW-w64 10 ships it without code). It keeps to the framework's contract and no
   further, so that the floor stays the smallest saver the framework would make:
     /s          a top-most, borderless window over the screen, cursor hidden
     /p HWND     a child window filling the pane's client area; input there ends nothing
     /c, none    the DLG_SCRNSAVECONFIGURE dialog with ScreenSaverConfigureDialog
     /a HWND     nothing: the password-change service belongs to the consumer Windows line
   DefScreenSaverProc ends a full-screen run on a key, a click, a move of the cursor beyond a few
   pixels, or the loss of activation. */
#include <windows.h>
#include <scrnsave.h>
#include <stdlib.h>

HINSTANCE hMainInstance;
HWND hMainWindow;
WINBOOL fChildPreview;

/* How far the cursor may drift from where it was when the window opened. */
#define FALLBACK_MOVE_SLACK 4

static POINT cursorAtStart;
static BOOL closing;

static LRESULT WINAPI FrameworkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) GetCursorPos(&cursorAtStart);
  if (message == WM_DESTROY) PostQuitMessage(0);
  return ScreenSaverProc(window, message, wParam, lParam);
}

static INT_PTR CALLBACK ConfigureProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return ScreenSaverConfigureDialog(dialog, message, wParam, lParam);
}

/* The decimal handle after the switch letter; blanks and a colon may come first. */
static HWND HandleAfter(const char* text) {
  ULONG_PTR value = 0;
  while (*text == ' ' || *text == '\t' || *text == ':') ++text;
  for (; *text >= '0' && *text <= '9'; ++text) value = value * 10 + (ULONG_PTR)(*text - '0');
  return (HWND)value;
}

static int RunSaver(HWND pane) {
  WNDCLASSA windowClass = {0};
  RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  MSG message = {0};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = FrameworkProc;
  windowClass.hInstance = hMainInstance;
  windowClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
  windowClass.lpszClassName = "WindowsScreenSaverClass";
  if (!RegisterClassA(&windowClass) || !RegisterDialogClasses(hMainInstance)) return 1;
  if (pane) GetClientRect(pane, &area);
  hMainWindow = CreateWindowExA(pane ? 0 : WS_EX_TOPMOST, windowClass.lpszClassName, "Screen saver",
                                (pane ? WS_CHILD : WS_POPUP) | WS_VISIBLE, area.left, area.top,
                                area.right - area.left, area.bottom - area.top, pane, NULL,
                                hMainInstance, NULL);
  if (!hMainWindow) return 1;
  while (GetMessageA(&message, NULL, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return (int)message.wParam;
}

LRESULT WINAPI DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!fChildPreview && !closing) {
    switch (message) {
      case WM_SETCURSOR:
        SetCursor(NULL);
        return TRUE;
      case WM_MOUSEMOVE: {
        POINT now;
        GetCursorPos(&now);
        if (labs(now.x - cursorAtStart.x) <= FALLBACK_MOVE_SLACK &&
            labs(now.y - cursorAtStart.y) <= FALLBACK_MOVE_SLACK) {
          break;
        }
        PostMessageA(window, WM_CLOSE, 0, 0);
        break;
      }
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
      case WM_LBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_RBUTTONDOWN:
        PostMessageA(window, WM_CLOSE, 0, 0);
        break;
      case WM_ACTIVATEAPP:
        if (!wParam) PostMessageA(window, WM_CLOSE, 0, 0);
        break;
      case WM_SYSCOMMAND:
        /* No task switching and no second saver while this one runs. */
        if (wParam == SC_SCREENSAVE || wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW) return 0;
        break;
      case WM_CLOSE:
        closing = TRUE;
        DestroyWindow(window);
        return 0;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR arguments, int show) {
  const char* at = arguments;
  (void)previous;
  (void)show;
  hMainInstance = instance;
  while (*at == ' ' || *at == '\t' || *at == '/' || *at == '-') ++at;
  switch (*at) {
    case 's':
    case 'S':
      return RunSaver(NULL);
    case 'p':
    case 'P': {
      HWND pane = HandleAfter(at + 1);
      fChildPreview = TRUE;
      return pane && IsWindow(pane) ? RunSaver(pane) : 0;
    }
    case 'a':
    case 'A':
      return 0;
    default:
      RegisterDialogClasses(instance);
      DialogBoxA(instance, MAKEINTRESOURCEA(DLG_SCRNSAVECONFIGURE), GetForegroundWindow(),
                 ConfigureProc);
      return 0;
  }
}
