/* The smallest program and library the PE tests need: an entry point and nothing else, linked
   without the C runtime, so that the binaries stay a few kilobytes. Only their resources are
   read by the tests; nothing ever runs them. */
#ifdef TINY_DLL
int __stdcall DllMainCRTStartup(void* hInstance, unsigned long dwReason, void* pReserved) {
  (void)hInstance;
  (void)dwReason;
  (void)pReserved;
  return 1;
}
#else
int mainCRTStartup(void) { return 0; }
#endif
