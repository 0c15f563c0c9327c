// The stand-in's window: shows what the host gave the control, and polls the request file that
// makes the control send movie commands.
#include "standin.h"

#include <algorithm>

namespace standin {
namespace {

constexpr wchar_t kClassName[] = L"VellomarStandinMovie";
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMs = 50;

LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* control = reinterpret_cast<Control*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    switch (msg) {
    case WM_CREATE:
        SetTimer(wnd, kPollTimer, kPollMs, nullptr);
        return 0;
    case WM_DESTROY:
        KillTimer(wnd, kPollTimer);
        return 0;
    case WM_TIMER:
        if (wp == kPollTimer && control)
            control->PollCommands();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        InvalidateRect(wnd, nullptr, FALSE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        RECT client;
        GetClientRect(wnd, &client);
        if (control)
            control->Paint(dc, client);
        EndPaint(wnd, &ps);
        return 0;
    }
    default:
        return DefWindowProcW(wnd, msg, wp, lp);
    }
}

std::wstring FromUtf8(const std::string& s)
{
    if (s.empty())
        return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

// Takes the request file away from its writer and returns its bytes; false when there is none.
bool TakeFile(const std::wstring& path, std::string& bytes)
{
    static LONG counter = 0;
    std::wstring taken = path + L".taken-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                         std::to_wstring(InterlockedIncrement(&counter));
    if (!MoveFileExW(path.c_str(), taken.c_str(), MOVEFILE_REPLACE_EXISTING))
        return false;
    HANDLE f = CreateFileW(taken.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        char buf[4096];
        DWORD got = 0;
        while (ReadFile(f, buf, sizeof(buf), &got, nullptr) && got > 0)
            bytes.append(buf, got);
        CloseHandle(f);
    }
    DeleteFileW(taken.c_str());
    return true;
}

HFONT MakeFont(int line_h)
{
    return CreateFontW(-line_h * 4 / 5, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma");
}

COLORREF Background(const std::wstring& routine)
{
    if (routine == L"s")
        return RGB(24, 48, 120);
    if (routine == L"p")
        return RGB(24, 100, 56);
    if (routine == L"c")
        return RGB(120, 32, 64);
    return RGB(72, 72, 72);
}

}  // namespace

HWND CreateControlWindow(Control& control, HWND parent, const RECT& rect)
{
    static ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = g_instance;
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        wc.lpszClassName = kClassName;
        ATOM a = RegisterClassExW(&wc);
        // The class outlives an unloaded and reloaded DLL within one process.
        return a ? a : static_cast<ATOM>(GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
    }();
    if (!atom)
        return nullptr;
    return CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                           rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                           g_instance, &control);
}

void Control::PollCommands()
{
    if (!movie_events_.HasSinks())
        return;
    std::wstring path = HostPath(Env(L"VELLOMAR_STANDIN_COMMANDS"));
    std::string bytes;
    if (path.empty() || !TakeFile(path, bytes))
        return;
    AddRef();  // a sink may release the control while it handles a command
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        size_t tab = line.find('\t');
        std::wstring command = FromUtf8(line.substr(0, tab));
        std::wstring args = tab == std::string::npos ? std::wstring() : FromUtf8(line.substr(tab + 1));
        Log(L"fire FSCommand " + command + L" " + args);
        VARIANT argv[2];  // in DISPPARAMS order: args, then command
        V_VT(&argv[0]) = VT_BSTR;
        V_BSTR(&argv[0]) = SysAllocStringLen(args.data(), static_cast<UINT>(args.size()));
        V_VT(&argv[1]) = VT_BSTR;
        V_BSTR(&argv[1]) = SysAllocStringLen(command.data(), static_cast<UINT>(command.size()));
        movie_events_.Fire(kDispFSCommand, argv);
        VariantClear(&argv[0]);
        VariantClear(&argv[1]);
        ++commands_sent_;
    }
    if (wnd_)
        InvalidateRect(wnd_, nullptr, FALSE);
    Release();
}

void Control::Paint(HDC dc, const RECT& client) const
{
    auto variable = [this](const wchar_t* name) -> std::wstring {
        for (const auto& [n, v] : variables_)
            if (n == name)
                return v;
        return L"(not set)";
    };
    std::wstring routine = variable(L"routine");
    auto movie = settings_.find(L"Movie");

    std::vector<std::wstring> lines;
    lines.push_back(L"routine: " + routine);
    lines.push_back(L"music: " + variable(L"music"));
    lines.push_back(L"mouse: " + variable(L"mouse"));
    lines.push_back(L"language: " + variable(L"language"));
    for (const auto& [n, v] : variables_)
        if (n != L"routine" && n != L"music" && n != L"mouse" && n != L"language")
            lines.push_back(n + L": " + v);
    lines.push_back(played_ ? L"playing" : L"not playing");
    if (commands_sent_ > 0)
        lines.push_back(L"commands sent: " + std::to_wstring(commands_sent_));
    lines.push_back(L"movie: " + (movie == settings_.end() ? std::wstring(L"(none)") : movie->second));

    HBRUSH bg = CreateSolidBrush(Background(routine));
    FillRect(dc, &client, bg);
    DeleteObject(bg);

    // As large as the window allows: by height first, then shrunk until the widest line fits.
    // The movie path, often the longest, gets its own size so that it does not shrink the rest.
    int height = client.bottom - client.top;
    int room = client.right - client.left;
    int line_h = std::clamp(height / static_cast<int>(lines.size() + 1), 8, 72);
    auto fit = [&](size_t first, size_t last) {
        HFONT probe = MakeFont(line_h);
        HGDIOBJ prev = SelectObject(dc, probe);
        int widest = 1;
        for (size_t i = first; i < last; ++i) {
            SIZE sz{};
            GetTextExtentPoint32W(dc, lines[i].c_str(), static_cast<int>(lines[i].size()), &sz);
            widest = std::max(widest, static_cast<int>(sz.cx));
        }
        SelectObject(dc, prev);
        DeleteObject(probe);
        int size = line_h;
        if (widest > room - line_h)
            size = static_cast<int>(static_cast<long long>(line_h) * std::max(1, room - line_h) / widest);
        return std::clamp(size, 8, line_h);
    };
    int text_h = fit(0, lines.size() - 1);
    int movie_h = fit(lines.size() - 1, lines.size());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    int margin = line_h / 2;
    int y = client.top + line_h / 2;
    for (size_t i = 0; i < lines.size(); ++i) {
        bool is_movie = i + 1 == lines.size();
        HFONT font = MakeFont(is_movie ? movie_h : text_h);
        HGDIOBJ old = SelectObject(dc, font);
        RECT r{client.left + margin, y, client.right - margin, y + line_h};
        UINT flags = DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER |
                     (is_movie ? DT_PATH_ELLIPSIS : DT_END_ELLIPSIS);
        DrawTextW(dc, lines[i].c_str(), -1, &r, flags);
        SelectObject(dc, old);
        DeleteObject(font);
        y += line_h;
    }
}

}  // namespace standin
