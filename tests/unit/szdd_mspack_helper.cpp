// Expands an SZDD file with libmspack, a second, independent expander.
#include <mspack.h>

bool MspackExpandFile(const char* in, const char* out) {
  msszdd_decompressor* szdd = mspack_create_szdd_decompressor(nullptr);
  if (!szdd) return false;
  const int err = szdd->decompress(szdd, in, out);
  mspack_destroy_szdd_decompressor(szdd);
  return err == MSPACK_ERR_OK;
}
