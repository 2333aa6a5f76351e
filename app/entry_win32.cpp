// Process entry of korvante-config.exe.
#include <winsock2.h>
#include <windows.h>

#include <cwchar>

#include "app/main_window_win32.h"
#include "app/probe_report.h"
#include "app/probe_report_win32.h"
#include "app/startup_trace.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
  using namespace korvante;
  MarkStartupStep("process entry");
  InitControlClasses();
  MarkStartupStep("common controls");
  WSADATA wsa;
  // Not checked: without Winsock every search and send simply fails later.
  WSAStartup(MAKEWORD(2, 2), &wsa);
  MarkStartupStep("winsock");

  // A plain, case-sensitive substring: "x --probe y" is a probe run,
  // "--PROBE" is not. A probe run opens no window.
  if (commandLine && std::wcsstr(commandLine, L"--probe")) {
    RunProbeReport();
  } else {
    RegisterWindowClasses(instance);
    MarkStartupStep("window classes");
    // Lives until the process ends: detached workers may still post to the
    // window after the loop, and the posts then simply fail.
    static MainWindow state;
    HWND hwnd = CreateMainWindow(instance, state);
    MarkStartupStep("window created");
    ShowWindow(hwnd, showCommand);
    MarkStartupStep("shown");
    UpdateWindow(hwnd);
    MarkStartupStep("first paint");
    WriteStartupTrace();
    RunMessageLoop(state);
  }
  WSACleanup();
  return 0;
}
