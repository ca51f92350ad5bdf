/* Writes the shortcut test files with the system's own shell-link object (IShellLinkW saved
 * through IPersistFile), so the reader's tests read what Windows writes rather than what we think
 * it writes. Run under Windows or Wine by make-links.sh; the targets are created first because the
 * shell records the volume and location of an existing file only. Output goes to the directory
 * given as the first argument. Wine's link object counts the terminating zero in the string
 * lengths (the reader cuts strings at their first zero) and writes a relative path without setting
 * its flag, so no link here sets one; the tests build that form by hand. */
#define COBJMACROS
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <stdio.h>

struct LinkPlan {
  const wchar_t* file;         /* name of the .lnk written */
  const wchar_t* target;       /* created empty before the link */
  const wchar_t* arguments;    /* NULL: none */
  const wchar_t* workingDir;   /* NULL: none; created when given */
  const wchar_t* description;  /* NULL: none */
  int showCmd;
};

static const struct LinkPlan kLinks[] = {
    {L"show-args.lnk", L"C:\\Tools\\show-args.cmd", L"first \"two words\" last", L"C:\\Work",
     L"Shows its arguments", SW_SHOWMAXIMIZED},
    {L"minimized.lnk", L"C:\\Tools\\show-args.cmd", L"-m", NULL, NULL, SW_SHOWMINNOACTIVE},
    {L"unicode.lnk",
     L"C:\\Tools\\gr\x00FC\x00DF"
     L"e.cmd",
     L"caf\x00E9 \x03A9", L"C:\\Daten\\\x00C4nderung", L"\x0416 ok", SW_SHOWNORMAL},
};

static void CreateParents(const wchar_t* path) {
  wchar_t dir[MAX_PATH];
  lstrcpynW(dir, path, MAX_PATH);
  for (wchar_t* p = dir + 3; *p; ++p) {
    if (*p != L'\\') continue;
    *p = 0;
    CreateDirectoryW(dir, NULL);
    *p = L'\\';
  }
}

static void CreateEmptyFile(const wchar_t* path) {
  CreateParents(path);
  HANDLE h = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

static HRESULT WriteLink(const struct LinkPlan* plan, const wchar_t* outDir) {
  IShellLinkW* link = NULL;
  IPersistFile* file = NULL;
  wchar_t outPath[MAX_PATH];
  HRESULT hr;
  CreateEmptyFile(plan->target);
  if (plan->workingDir) {
    wchar_t probe[MAX_PATH];
    swprintf(probe, MAX_PATH, L"%ls\\x", plan->workingDir);
    CreateParents(probe);
  }
  hr = CoCreateInstance(&CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, &IID_IShellLinkW,
                        (void**)&link);
  if (FAILED(hr)) return hr;
  IShellLinkW_SetPath(link, plan->target);
  if (plan->arguments) IShellLinkW_SetArguments(link, plan->arguments);
  if (plan->workingDir) IShellLinkW_SetWorkingDirectory(link, plan->workingDir);
  if (plan->description) IShellLinkW_SetDescription(link, plan->description);
  IShellLinkW_SetShowCmd(link, plan->showCmd);
  hr = IShellLinkW_QueryInterface(link, &IID_IPersistFile, (void**)&file);
  if (SUCCEEDED(hr)) {
    swprintf(outPath, MAX_PATH, L"%ls\\%ls", outDir, plan->file);
    hr = IPersistFile_Save(file, outPath, TRUE);
    IPersistFile_Release(file);
  }
  IShellLinkW_Release(link);
  return hr;
}

int wmain(int argc, wchar_t** argv) {
  int failures = 0;
  if (argc < 2) {
    fwprintf(stderr, L"usage: make_links <output directory>\n");
    return 2;
  }
  if (FAILED(CoInitialize(NULL))) return 1;
  for (size_t i = 0; i < sizeof(kLinks) / sizeof(kLinks[0]); ++i) {
    HRESULT hr = WriteLink(&kLinks[i], argv[1]);
    if (FAILED(hr)) {
      fwprintf(stderr, L"%ls: error 0x%08lx\n", kLinks[i].file, (unsigned long)hr);
      ++failures;
    }
  }
  CoUninitialize();
  return failures ? 1 : 0;
}
