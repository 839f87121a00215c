/* vonmod.h must stay a plain C header: this file is compiled as C under -Wpedantic. */
#include "vonmod/include/vonmod.h"

int vonmodVersionFromC(void);

int vonmodVersionFromC(void) {
  VonmodSession session = {0, 0, 0, -1, -1};
  int32_t serial = 0;
  /* A session that was never opened answers 8 without a module. */
  if (Vonmod_GetDeviceSerialNo(&session, &serial) != 8) return -1;
  return Vonmod_GetDLLVersion();
}
