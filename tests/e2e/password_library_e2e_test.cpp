// The password services' libraries come from the system folder only: a library of the same name
// beside the program is never loaded in their place.
#include <gtest/gtest.h>

#include <string>

#include "e2e_support.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = 10000;

TEST(PasswordLibrary, ChangePasswordNeverLoadsAnMprDllBesideTheProgram) {
  const std::wstring folder = MakeFolder(L"syslib");
  const std::wstring program = folder + L"\\vellomar.scr";
  ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), program.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(SiblingPath(L"fake-mpr\\mpr.dll").c_str(), (folder + L"\\mpr.dll").c_str(),
                        FALSE));
  // Wine would otherwise take its own mpr.dll even for a file beside the program; Windows takes
  // the file.
  constexpr char kOverrides[] = "Software\\Wine\\AppDefaults\\vellomar.scr\\DllOverrides";
  WriteText(HKEY_CURRENT_USER, kOverrides, "mpr", "native,builtin");
  {
    Process change(L"/a 0", {}, program);
    EXPECT_TRUE(change.WaitForExit(kTimeoutMs));
    EXPECT_EQ(change.ExitCode(), 0u);
  }
  DeleteValue(HKEY_CURRENT_USER, kOverrides, "mpr");
  EXPECT_FALSE(ReadBytes(folder + L"\\mpr.dll.ran")) << "the mpr.dll beside the program ran";
  RemoveFolder(folder);
}

}  // namespace
}  // namespace e2e
