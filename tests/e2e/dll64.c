/* A 64-bit DLL named metal.dll: the 32-bit tool must fail to load it. */
__declspec(dllexport) int mtlOpen(unsigned flags, void** out) {
  (void)flags;
  (void)out;
  return 0;
}
