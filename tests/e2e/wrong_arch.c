/* A metal.dll for the other Windows architecture than the tool's, which the
   tool must fail to load. */
__declspec(dllexport) int mtlOpen(unsigned flags, void** out) {
  (void)flags;
  (void)out;
  return 0;
}
