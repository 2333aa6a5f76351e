// The executable as a Windows PC receives it: its manifest and version
// resources, read back with the loader's own functions; common controls 6 in
// the running tool and in the window of this process (which embeds the same
// manifest); controls kept out of the theme; the minimum size from the first
// WM_GETMINMAXINFO. Runs on the app bench (Xvfb, loopback-only namespace).
#include "tests/app/window_fixture_win32.h"
#include "tests/ui-driver/ui_driver_win32.h"

#include <uxtheme.h>

#include <cstdlib>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace korvante::testing {
namespace {

// The built korvante-config.exe, as this prefix sees it (Z: is the Unix root).
std::wstring ToolPath() {
  const char* unixPath = std::getenv("KV_TOOL_EXE");
  if (!unixPath || !*unixPath) return L"";
  std::wstring path = L"Z:";
  for (const char* p = unixPath; *p; ++p) path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
  return path;
}

class ToolExecutableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = ToolPath();
    ASSERT_FALSE(path_.empty()) << "KV_TOOL_EXE names the built korvante-config.exe";
    ASSERT_NE(GetFileAttributesW(path_.c_str()), INVALID_FILE_ATTRIBUTES);
  }
  std::wstring path_;
};

// --- resources of the built file -------------------------------------------------------

std::vector<std::wstring> ResourceNames(HMODULE module, const wchar_t* type) {
  std::vector<std::wstring> names;
  EnumResourceNamesW(
      module, type,
      [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out) -> BOOL {
        auto* list = reinterpret_cast<std::vector<std::wstring>*>(out);
        list->push_back(IS_INTRESOURCE(name)
                            ? L"#" + std::to_wstring(reinterpret_cast<UINT_PTR>(name))
                            : std::wstring(name));
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&names));
  return names;
}

// Every attribute list of the elements named `tag`, e.g. all <supportedOS .../>.
std::vector<std::string> Elements(const std::string& xml, const std::string& tag) {
  std::vector<std::string> found;
  const std::regex element("<" + tag + "\\b([^>]*)>");
  for (auto it = std::sregex_iterator(xml.begin(), xml.end(), element);
       it != std::sregex_iterator(); ++it) {
    found.push_back((*it)[1]);
  }
  return found;
}

bool HasAttribute(const std::string& attributes, const std::string& name,
                  const std::string& value) {
  return attributes.find(name + "=\"" + value + "\"") != std::string::npos;
}

TEST_F(ToolExecutableTest, HoldsTheApplicationManifestAsResourceOneOfType24) {
  HMODULE module = LoadLibraryExW(path_.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr) << GetLastError();
  EXPECT_EQ(ResourceNames(module, RT_MANIFEST), std::vector<std::wstring>{L"#1"});
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(resource, nullptr);
  const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, resource)));
  const std::string xml(bytes, SizeofResource(module, resource));
  FreeLibrary(module);

  // Common controls 6.
  bool commonControls6 = false;
  for (const std::string& identity : Elements(xml, "assemblyIdentity")) {
    commonControls6 |= HasAttribute(identity, "name", "Microsoft.Windows.Common-Controls") &&
                       HasAttribute(identity, "version", "6.0.0.0") &&
                       HasAttribute(identity, "publicKeyToken", "6595b64144ccf1df") &&
                       HasAttribute(identity, "type", "win32");
  }
  EXPECT_TRUE(commonControls6) << xml;
  // asInvoker, never elevated.
  const auto levels = Elements(xml, "requestedExecutionLevel");
  ASSERT_EQ(levels.size(), 1u);
  EXPECT_TRUE(HasAttribute(levels[0], "level", "asInvoker"));
  EXPECT_TRUE(HasAttribute(levels[0], "uiAccess", "false"));
  // Windows 7, 8, 8.1 and 10/11, as Microsoft numbers them.
  std::set<std::string> systems;
  for (const std::string& os : Elements(xml, "supportedOS")) {
    std::smatch id;
    if (std::regex_search(os, id, std::regex("Id=\"(\\{[^}]*\\})\""))) systems.insert(id[1]);
  }
  EXPECT_EQ(systems, (std::set<std::string>{"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                                            "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                                            "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                                            "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}));
  // DPI-unaware, with GDI scaling; no per-monitor awareness anywhere.
  const std::regex unaware(
      "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">false</dpiAware>");
  const std::regex gdiScaling(
      "<gdiScaling "
      "xmlns=\"http://schemas.microsoft.com/SMI/2017/WindowsSettings\">true</gdiScaling>");
  EXPECT_TRUE(std::regex_search(xml, unaware));
  EXPECT_TRUE(std::regex_search(xml, gdiScaling));
  EXPECT_EQ(xml.find("dpiAwareness"), std::string::npos);

  // The loader accepts it: an activation context made from the resource.
  ACTCTXW context{};
  context.cbSize = sizeof(context);
  context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  context.lpSource = path_.c_str();
  context.lpResourceName = MAKEINTRESOURCEW(1);
  HANDLE handle = CreateActCtxW(&context);
  EXPECT_NE(handle, INVALID_HANDLE_VALUE) << GetLastError();
  if (handle != INVALID_HANDLE_VALUE) ReleaseActCtx(handle);
}

struct VersionResource {
  std::vector<std::uint8_t> block;
  std::wstring translation;  // "042a04b0"

  std::wstring Text(const wchar_t* name) const {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring query = L"\\StringFileInfo\\" + translation + L"\\" + name;
    if (!VerQueryValueW(block.data(), query.c_str(), &value, &length) || !value) return L"<none>";
    return std::wstring(static_cast<const wchar_t*>(value));
  }
  VS_FIXEDFILEINFO Fixed() const {
    void* value = nullptr;
    UINT length = 0;
    VS_FIXEDFILEINFO fixed{};
    if (VerQueryValueW(block.data(), L"\\", &value, &length) && length >= sizeof(fixed)) {
      fixed = *static_cast<const VS_FIXEDFILEINFO*>(value);
    }
    return fixed;
  }
};

VersionResource ReadVersion(const std::wstring& path) {
  VersionResource version;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
  if (size == 0) return version;
  version.block.resize(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, version.block.data())) return {};
  struct LangCodePage {
    WORD language, codePage;
  }* pairs = nullptr;
  UINT length = 0;
  if (VerQueryValueW(version.block.data(), L"\\VarFileInfo\\Translation",
                     reinterpret_cast<void**>(&pairs), &length) &&
      length >= sizeof(LangCodePage)) {
    wchar_t text[16];
    swprintf(text, 16, L"%04x%04x", pairs[0].language, pairs[0].codePage);
    version.translation = text;
  }
  return version;
}

std::wstring Dotted(DWORD high, DWORD low) {
  return std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." +
         std::to_wstring(HIWORD(low)) + L"." + std::to_wstring(LOWORD(low));
}

TEST_F(ToolExecutableTest, VersionResourceFillsTheDetailsTab) {
  const VersionResource version = ReadVersion(path_);
  ASSERT_FALSE(version.block.empty()) << "no version resource";
  EXPECT_EQ(version.translation, L"042a04b0");  // Vietnamese, Unicode
  EXPECT_EQ(version.Text(L"CompanyName"), L"Korvante");
  EXPECT_EQ(version.Text(L"FileDescription"), L"Korvante Config Tool");
  EXPECT_EQ(version.Text(L"ProductName"), L"Korvante Config Tool");
  EXPECT_EQ(version.Text(L"OriginalFilename"), L"korvante-config.exe");
  EXPECT_EQ(version.Text(L"InternalName"), L"korvante-config.exe");
  EXPECT_EQ(version.Text(L"LegalCopyright"), L"Copyright © 2026 Korvante");

  const VS_FIXEDFILEINFO fixed = version.Fixed();
  EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_APP));
  const std::wstring file = Dotted(fixed.dwFileVersionMS, fixed.dwFileVersionLS);
  EXPECT_EQ(file, Dotted(fixed.dwProductVersionMS, fixed.dwProductVersionLS));
  EXPECT_EQ(version.Text(L"FileVersion"), file);
  EXPECT_EQ(version.Text(L"ProductVersion"), file);
  EXPECT_EQ(LOWORD(fixed.dwFileVersionLS), 0) << "three parts, the fourth is 0";
}

// The window's label and the file's version resource show one version.
TEST_F(MainWindowTest, VersionLabelMatchesTheVersionResource) {
  const VersionResource version = ReadVersion(ToolPath());
  ASSERT_FALSE(version.block.empty()) << "no version resource";
  const VS_FIXEDFILEINFO fixed = version.Fixed();
  const std::wstring three = std::to_wstring(HIWORD(fixed.dwFileVersionMS)) + L"." +
                             std::to_wstring(LOWORD(fixed.dwFileVersionMS)) + L"." +
                             std::to_wstring(HIWORD(fixed.dwFileVersionLS));
  EXPECT_EQ(TextOf(At(Slot::kVersion)), L"Phiên bản: " + three);
}

// --- the running tool --------------------------------------------------------------------

struct ToolWindows {
  HWND main = nullptr;
  std::vector<HWND> lists;
  std::vector<HWND> tooltips;
};

ToolWindows FindToolWindows(DWORD processId) {
  struct Search {
    DWORD processId;
    ToolWindows found;
  } search{processId, {}};
  EnumWindows(
      [](HWND top, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(top, &owner);
        if (owner != s->processId) return TRUE;
        if (ClassOf(top) == L"KorvanteNativeToolWindow") s->found.main = top;
        if (ClassOf(top) == TOOLTIPS_CLASSW) s->found.tooltips.push_back(top);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  if (search.found.main) {
    EnumChildWindows(
        search.found.main,
        [](HWND child, LPARAM param) -> BOOL {
          if (ClassOf(child) == L"ComboBox") {
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search.found.lists));
  }
  return search.found;
}

// The product itself, started as a user starts it: common controls 6 is
// loaded (CB_SETMINVISIBLE took effect on every list) and all 21 tooltips
// were added (version 5.82 would have refused every one).
TEST_F(ToolExecutableTest, RunningToolHasCommonControls6AndAllItsTooltips) {
  korvante::ui::Process process;  // ended, if still running, when the test ends
  ASSERT_TRUE(process.Start(L"\"" + path_ + L"\"")) << GetLastError();
  WaitForInputIdle(process.handle(), 10000);
  ToolWindows tool;
  for (int attempt = 0; attempt < 100 && (!tool.main || tool.lists.size() < 7); ++attempt) {
    Sleep(100);
    tool = FindToolWindows(process.id());
  }
  ASSERT_NE(tool.main, nullptr) << "the tool's window did not appear";

  // The printer list, the WiFi mode list, four font size lists and the
  // counter size list.
  EXPECT_EQ(tool.lists.size(), 7u);
  for (HWND list : tool.lists) EXPECT_EQ(SendMessageW(list, CB_GETMINVISIBLE, 0, 0), 8);
  ASSERT_EQ(tool.tooltips.size(), 1u);
  EXPECT_EQ(GetWindow(tool.tooltips[0], GW_OWNER), tool.main);
  EXPECT_EQ(SendMessageW(tool.tooltips[0], TTM_GETTOOLCOUNT, 0, 0), 4 * 5 + 1);

  PostMessageW(tool.main, WM_CLOSE, 0, 0);
  EXPECT_EQ(process.Wait(10000), 0) << "-1: still running after 10 s";
}

// --- the window in this process, which embeds the same manifest -------------------------------

TEST_F(MainWindowTest, EveryListShowsEightItemsAndEveryTooltipIsAdded) {
  std::vector<HWND> lists;
  EnumChildWindows(
      hwnd_,
      [](HWND child, LPARAM param) -> BOOL {
        if (ClassOf(child) == L"ComboBox") {
          reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&lists));
  EXPECT_EQ(lists.size(), 7u);
  for (HWND list : lists) EXPECT_EQ(SendMessageW(list, CB_GETMINVISIBLE, 0, 0), 8);

  // Every tool is registered for its control, on the main window.
  const int count = static_cast<int>(SendMessageW(state_->tooltip, TTM_GETTOOLCOUNT, 0, 0));
  EXPECT_EQ(count, 21);
  std::set<HWND> tools;
  for (int i = 0; i < count; ++i) {
    wchar_t text[80] = {};
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.lpszText = text;
    ASSERT_TRUE(SendMessageW(state_->tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(info.hwnd, hwnd_);
    EXPECT_EQ(info.uFlags & (TTF_IDISHWND | TTF_SUBCLASS), UINT{TTF_IDISHWND | TTF_SUBCLASS});
    tools.insert(reinterpret_cast<HWND>(info.uId));
  }
  std::set<HWND> expected{At(Slot::kCounterSizeList)};
  for (int line = 0; line < kLineCount; ++line) {
    for (LinePart part : {LinePart::kBold, LinePart::kItalic, LinePart::kUnderline,
                          LinePart::kSizeList, LinePart::kWidthButton}) {
      expected.insert(state_->Line(line, part));
    }
  }
  EXPECT_EQ(tools, expected);
}

// A themed check box or radio draws its caption in the theme's colour, not
// the window's. The bench's prefix has a theme active (the edits and lists
// are themed); the five radios and check boxes must have none.
TEST_F(MainWindowTest, RadiosAndCheckBoxesStayOutOfTheTheme) {
  ASSERT_TRUE(IsThemeActive());
  EXPECT_NE(GetWindowTheme(At(Slot::kLanIpField)), nullptr) << "an edit is themed";
  EXPECT_NE(GetWindowTheme(At(Slot::kPrinterList)), nullptr) << "a list is themed";
  for (Slot s : {Slot::kUsbRadio, Slot::kLanRadio, Slot::kPrintNumberCheck, Slot::kPrintDateCheck,
                 Slot::kBeepCheck}) {
    EXPECT_EQ(GetWindowTheme(At(s)), nullptr) << TextOf(At(s)).size();
  }
  EXPECT_EQ(GetClassLongPtrW(hwnd_, GCLP_HICON),
            reinterpret_cast<LONG_PTR>(LoadIconW(nullptr, IDI_APPLICATION)));
}

// The first WM_GETMINMAXINFO comes before WM_NCCREATE, and creation clamps
// the starting size with its answer. On a screen whose work area is lower
// than 600 pixels (1366 x 768 at 125 % leaves about 582) the window opens as
// high as the work area, and the user cannot make it higher than that by
// shrinking it: its minimum height is the work area's.
TEST_F(MainWindowTest, LowWorkAreaOpensTheWindowAsHighAsItAndNoHigher) {
  RECT saved{};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &saved, 0));
  for (int height : {582, 500}) {
    RECT low{0, 0, 1366, height};
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETWORKAREA, 0, &low, 0));
    RECT now{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &now, 0);
    MainWindow state;
    HWND hwnd = CreateMainWindow(GetModuleHandleW(nullptr), state);
    MINMAXINFO info{};
    if (hwnd) SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    SystemParametersInfoW(SPI_SETWORKAREA, 0, &saved, 0);
    ASSERT_EQ(now.bottom - now.top, height) << "the bench could not lower the work area";
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(MainWindowHeight(now), height);
    RECT window{};
    GetWindowRect(hwnd, &window);
    EXPECT_EQ(window.right - window.left, 900);
    EXPECT_EQ(window.bottom - window.top, height);
    EXPECT_EQ(info.ptMinTrackSize.x, 800);
    EXPECT_EQ(info.ptMinTrackSize.y, height);
    DestroyWindow(hwnd);
    Pump();
  }
}

}  // namespace
}  // namespace korvante::testing
